#pragma once

#include "core/BackupRule.h"

#include <QTreeWidget>

namespace tessaro {

// The rule list of the Backup page: one row per rule in list order, with
// whole-row single selection. The columns share the list's width by their
// content, so whole paths show where they fit; a path cut short shows in
// full as the cell's tooltip.
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
    void showEvent(QShowEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // Fits the columns when the rows or the list's width changed since the
    // last fit. A hidden list waits until it is shown: while a window is
    // being put together its widgets are resized many times before anyone
    // sees them.
    void fitColumnsIfChanged();
    void fitColumns();
    void updateCutTooltips();

    // Set while showRules refills the rows, which reports one change at its end.
    bool m_refilling = false;
    // The rows changed since the last fit.
    bool m_rowsChanged = true;
    // The viewport width of the last fit; -1 before the first.
    int m_fittedWidth = -1;
};

} // namespace tessaro
