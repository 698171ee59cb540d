#include "ui/RuleListView.h"

#include "ui/Icons.h"

#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tessaro {

namespace {

// Rows name their rule by the object's address. It is only compared, never
// followed: a row may outlive its rule until the list is shown anew.
constexpr int ruleRole = Qt::UserRole;
// The rule's exclusions, shown in every cell's tooltip.
constexpr int excludeRole = Qt::UserRole + 1;
// The failure of the rule's last run, on the source cell.
constexpr int failureRole = Qt::UserRole + 2;

quintptr ruleKey(const QTreeWidgetItem* item)
{
    return item ? item->data(0, ruleRole).value<quintptr>() : 0;
}

// The columns that show paths and names; the last one, Subfolders, always
// keeps the width of its content.
constexpr int pathColumns = 3;
// No path column gets narrower than this while others are wider.
constexpr int leastPathWidth = 60;

// The columns' widths: each its content's when all fit. Otherwise the path
// columns share what is left: narrower ones keep their whole width, and
// the others split the rest evenly, so a short name is never cut for the
// sake of a long path.
QList<int> columnWidths(const QList<int>& natural, int available)
{
    int total = 0;
    for (const int width : natural)
        total += width;
    QList<int> widths = natural;
    if (total <= available) {
        widths[0] += available - total;
        return widths;
    }
    int room = available;
    for (qsizetype i = pathColumns; i < natural.size(); ++i)
        room -= natural[i];
    room = qMax(room, pathColumns * leastPathWidth);
    QList<int> narrowFirst{0, 1, 2};
    std::stable_sort(narrowFirst.begin(), narrowFirst.end(),
                     [&natural](int a, int b) { return natural[a] < natural[b]; });
    for (qsizetype k = 0; k < narrowFirst.size(); ++k) {
        const int column = narrowFirst[k];
        const int share = room / int(narrowFirst.size() - k);
        widths[column] = qMin(natural[column], share);
        room -= widths[column];
    }
    return widths;
}

} // namespace

RuleListView::RuleListView(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName(u"ListViewBackupRules"_s);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Paths differ at their ends: "/home/ana/Documents/…" would read the
    // same in every row.
    setTextElideMode(Qt::ElideMiddle);

    const struct
    {
        QString caption;
        int width;
    } columns[] = {
        {u"Source"_s, 190},
        {u"Filename"_s, 190},
        {u"Destination"_s, 108},
        {u"Subfolders"_s, 70},
    };
    QStringList captions;
    for (const auto& column : columns)
        captions.append(column.caption);
    setHeaderLabels(captions);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    for (int i = 0; i < int(std::size(columns)); ++i)
        setColumnWidth(i, columns[i].width);

    m_emptyHint = new QLabel(u"No backup rules yet.\nClick \"Add\" or click here to add the "
                             u"first rule."_s,
                             viewport());
    m_emptyHint->setObjectName(u"LabelNoRules"_s);
    m_emptyHint->setAlignment(Qt::AlignCenter);
    m_emptyHint->setWordWrap(true);
    m_emptyHint->setForegroundRole(QPalette::PlaceholderText);
    // A click on the hint is a click into the empty list, which adds a rule.
    m_emptyHint->setAttribute(Qt::WA_TransparentForMouseEvents);

    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!m_refilling)
            Q_EMIT ruleSelectionChanged();
    });
}

void RuleListView::showRules(const TBackupRules& rules)
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    const quintptr previous = selected.isEmpty() ? 0 : ruleKey(selected.first());

    m_refilling = true;
    clear();
    QTreeWidgetItem* keep = nullptr;
    for (qsizetype i = 0; i < rules.Count(); ++i) {
        const TBackupRule* rule = rules.Item(i);
        auto* item = new QTreeWidgetItem(this, {rule->SourceFolder, rule->DestinationFilename,
                                                rule->DestinationFolder,
                                                BoolToYesNo(rule->IncludeSubFolders)});
        const auto key = quintptr(rule);
        item->setData(0, ruleRole, QVariant::fromValue(key));
        item->setData(0, excludeRole, rule->ExcludeMasks);
        if (key == previous)
            keep = item;
    }
    if (keep)
        setCurrentItem(keep);
    m_refilling = false;
    m_rowsChanged = true;
    updateEmptyHint();
    fitColumnsIfChanged();
    Q_EMIT ruleSelectionChanged();
}

void RuleListView::fitColumnsIfChanged()
{
    if (!isVisible() || (!m_rowsChanged && viewport()->width() == m_fittedWidth))
        return;
    fitColumns();
}

void RuleListView::fitColumns()
{
    if (m_rowsChanged)
        measureContent();
    m_fittedWidth = viewport()->width();
    const QList<int> widths = columnWidths(m_naturalWidths, viewport()->width());
    for (int column = 0; column < columnCount(); ++column)
        setColumnWidth(column, widths[column]);
    updateCutTooltips();
}

void RuleListView::measureContent()
{
    m_rowsChanged = false;
    m_naturalWidths.clear();
    for (int column = 0; column < columnCount(); ++column)
        m_naturalWidths.append(header()->sectionSizeHint(column));
    // A path column's content is its widest cell, measured here once for
    // the tooltips as well; the list holds too few rows for the view to
    // measure only a sample of them.
    m_cellWidths.clear();
    m_cellWidths.reserve(topLevelItemCount());
    for (int row = 0; row < topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = topLevelItem(row);
        std::array<int, pathColumns> cells{};
        for (int column = 0; column < pathColumns; ++column) {
            cells[column] = sizeHintForIndex(indexFromItem(item, column)).width();
            m_naturalWidths[column] = qMax(m_naturalWidths[column], cells[column]);
        }
        m_cellWidths.append(cells);
    }
    for (int column = pathColumns; column < columnCount(); ++column)
        m_naturalWidths[column] = qMax(m_naturalWidths[column], sizeHintForColumn(column));
}

void RuleListView::updateCutTooltips()
{
    for (int row = 0; row < topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = topLevelItem(row);
        const QString masks = item->data(0, excludeRole).toString();
        const QString excluded = masks.isEmpty() ? QString() : u"Exclude: "_s + masks;
        for (int column = 0; column < columnCount(); ++column) {
            const bool cut = column < pathColumns && row < m_cellWidths.size() &&
                             m_cellWidths[row][column] > columnWidth(column);
            QStringList lines;
            if (cut)
                lines.append(item->text(column));
            if (!excluded.isEmpty())
                lines.append(excluded);
            if (column == 0 && !item->data(0, failureRole).toString().isEmpty())
                lines.append(item->data(0, failureRole).toString());
            const QString tip = lines.join(u'\n');
            // Every change of an item's data repaints and reports it.
            if (item->toolTip(column) != tip)
                item->setToolTip(column, tip);
        }
    }
}

void RuleListView::markFailures(const QStringList& failures)
{
    bool textsChanged = false;
    bool iconsChanged = false;
    for (int row = 0; row < topLevelItemCount() && row < failures.size(); ++row) {
        QTreeWidgetItem* item = topLevelItem(row);
        const QString& failure = failures.at(row);
        const QString shown = item->data(0, failureRole).toString();
        if (failure == shown)
            continue;
        textsChanged = true;
        item->setData(0, failureRole, failure);
        if (failure.isEmpty() != shown.isEmpty()) {
            item->setIcon(0, failure.isEmpty() ? QIcon() : failedRuleIcon());
            iconsChanged = true;
        }
    }
    // An icon that comes or goes changes the width of the source cell; the
    // columns are measured again only then.
    if (iconsChanged) {
        m_rowsChanged = true;
        fitColumnsIfChanged();
    }
    if (textsChanged)
        updateCutTooltips();
}

void RuleListView::resizeEvent(QResizeEvent* event)
{
    QTreeWidget::resizeEvent(event);
    fitColumnsIfChanged();
    updateEmptyHint();
}

void RuleListView::showEvent(QShowEvent* event)
{
    QTreeWidget::showEvent(event);
    fitColumnsIfChanged();
}

void RuleListView::changeEvent(QEvent* event)
{
    QTreeWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_rowsChanged = true;
        fitColumnsIfChanged();
    }
}

void RuleListView::updateEmptyHint()
{
    m_emptyHint->setGeometry(viewport()->rect().adjusted(8, 8, -8, -8));
    m_emptyHint->setVisible(topLevelItemCount() == 0);
}

qsizetype RuleListView::selectedIndex() const
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : indexOfTopLevelItem(selected.first());
}

void RuleListView::mouseReleaseEvent(QMouseEvent* event)
{
    // Judged after the view has handled the click, and not by a change of
    // selection: a click on a row selects it, a click on the empty part
    // clears the selection, and with nothing selected before it changes
    // nothing at all yet still counts.
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && selectedIndex() < 0)
        Q_EMIT clickedWithoutSelection();
}

void RuleListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && selectedIndex() >= 0)
        Q_EMIT doubleClickedOnRule();
}

} // namespace tessaro
