#pragma once

#include "ui/PageParts.h"

#include <QWidget>

class QAction;
class QPushButton;

namespace tessaro {

class RuleListView;

// The "Backup" page: the rule list with Add, Edit and Delete, a rule's
// "Back up this rule now" (context menu and Ctrl+B), and the run buttons.
class BackupPage final : public QWidget
{
    Q_OBJECT

public:
    BackupPage(const PageContext& context, QWidget* parent = nullptr);

    // Shows the logic's rules anew, keeping the selected rule selected.
    void refreshRuleList();
    // Marks the rules whose last run failed.
    void refreshRuleMarks();

    // "Edit", "Delete" and "Back up this rule now" are enabled exactly while
    // a rule is selected.
    void UpdateEditButtons();

private:
    void buildRuleActions();
    QHBoxLayout* buildRuleButtons();
    QHBoxLayout* buildRunButtons();

    PageContext m_context;
    RuleListView* ListViewBackupRules = nullptr;
    QPushButton* ButtonEditRule = nullptr;
    QPushButton* ButtonDeleteRule = nullptr;
    QAction* ActionBackUpRuleNow = nullptr;
};

} // namespace tessaro
