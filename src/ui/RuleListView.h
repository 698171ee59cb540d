#pragma once

#include "core/BackupRule.h"

#include <QList>
#include <QTreeWidget>

#include <array>
class QLabel;

namespace tessaro {

// The rule list of the Backup page: one row per rule in list order, with
// whole-row single selection. The columns share the list's width by their
// content, so whole paths show where they fit; a path cut short loses its
// middle, so that its start and its last folders stay in sight, and shows
// in full as the cell's tooltip. A rule's exclusions show in the tooltip of
// each of its cells. A rule whose last run failed is marked with an icon
// before its source folder, and its tooltip says why.
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
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // Fits the columns when the rows or the list's width changed since the
    // last fit. A hidden list waits until it is shown: while a window is
    // being put together its widgets are resized many times before anyone
    // sees them.
    void fitColumnsIfChanged();
    void fitColumns();
    // Measures the content's widths; only a change of rows or font changes
    // them, and measuring costs a text layout per cell.
    void measureContent();
    void updateCutTooltips();
    // A list without rules says how to add the first one.
    void updateEmptyHint();

    QLabel* m_emptyHint = nullptr;

    // Set while showRules refills the rows, which reports one change at its end.
    bool m_refilling = false;
    // The rows or their font changed since the content was measured.
    bool m_rowsChanged = true;
    // Each column's natural width, and the width of each row's path cells.
    QList<int> m_naturalWidths;
    QList<std::array<int, 3>> m_cellWidths;
    // The viewport width of the last fit; -1 before the first.
    int m_fittedWidth = -1;
};

} // namespace tessaro
