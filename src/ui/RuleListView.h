#pragma once

#include "core/BackupRule.h"

#include <QTreeWidget>

class QLabel;

namespace tessaro {

// The rule list of the Backup page: one row per rule in list order, with
// whole-row single selection. The columns share the list's width by their
// content, so whole paths show where they fit; a path cut short loses its
// middle, so that its start and its last folders stay in sight, and shows
// in full as the cell's tooltip. A rule whose last run failed is marked
// with an icon before its source folder, and its tooltip says why.
class RuleListView final : public QTreeWidget
{
    Q_OBJECT

public:
    explicit RuleListView(QWidget* parent = nullptr);

    // Shows the rules anew. The rule selected before stays selected while it
    // is still in the list; otherwise nothing is selected.
    void showRules(const TBackupRules& rules);
    // The list position of the selected rule, or -1.
    qsizetype selectedIndex() const;
    // Marks the rules whose last run failed: one text per row, in list
    // order, an empty one for a rule without a failure to show.
    void markFailures(const QStringList& failures);

Q_SIGNALS:
    // A mouse click on the list, the empty part included, that leaves no
    // row selected.
    void clickedWithoutSelection();
    // A double click while a row is selected.
    void doubleClickedOnRule();
    // The selected row or the rows themselves changed.
    void ruleSelectionChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void fitColumns();
    void updateCutTooltips();
    // A list without rules says how to add the first one.
    void updateEmptyHint();

    QLabel* m_emptyHint = nullptr;

    // Set while showRules refills the rows, which reports one change at its end.
    bool m_refilling = false;
};

} // namespace tessaro
