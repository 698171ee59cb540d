#pragma once

#include "ui/PageParts.h"

#include <QWidget>

class QPushButton;

namespace tessaro {

class RuleListView;

// The "Backup" page: the rule list with Add, Edit and Delete, and the run
// buttons.
class BackupPage final : public QWidget
{
    Q_OBJECT

public:
    BackupPage(const PageContext& context, QWidget* parent = nullptr);

    // Shows the logic's rules anew, keeping the selected rule selected.
    void refreshRuleList();
    // Marks the rules whose last run failed.
    void refreshRuleMarks();
    // "Edit" and "Delete" are enabled exactly while a rule is selected.
    void UpdateEditButtons();

private:
    QHBoxLayout* buildRuleButtons();
    QHBoxLayout* buildRunButtons();

    PageContext m_context;
    RuleListView* ListViewBackupRules = nullptr;
    QPushButton* ButtonEditRule = nullptr;
    QPushButton* ButtonDeleteRule = nullptr;
};

} // namespace tessaro
