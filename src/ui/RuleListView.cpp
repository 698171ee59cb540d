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
// The failure of the rule's last run, on the source cell.
constexpr int failureRole = Qt::UserRole + 1;

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
        if (key == previous)
            keep = item;
    }
    if (keep)
        setCurrentItem(keep);
    m_refilling = false;
    updateEmptyHint();
    fitColumns();
    Q_EMIT ruleSelectionChanged();
}

void RuleListView::fitColumns()
{
    QList<int> natural;
    for (int column = 0; column < columnCount(); ++column)
        natural.append(qMax(header()->sectionSizeHint(column), sizeHintForColumn(column)));
    const QList<int> widths = columnWidths(natural, viewport()->width());
    for (int column = 0; column < columnCount(); ++column)
        setColumnWidth(column, widths[column]);
    updateCutTooltips();
}

void RuleListView::updateCutTooltips()
{
    for (int row = 0; row < topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = topLevelItem(row);
        for (int column = 0; column < pathColumns; ++column) {
            const bool cut =
                sizeHintForIndex(indexFromItem(item, column)).width() > columnWidth(column);
            QStringList tip;
            if (cut)
                tip.append(item->text(column));
            if (column == 0 && !item->data(0, failureRole).toString().isEmpty())
                tip.append(item->data(0, failureRole).toString());
            item->setToolTip(column, tip.join(u'\n'));
        }
    }
}

void RuleListView::markFailures(const QStringList& failures)
{
    for (int row = 0; row < topLevelItemCount() && row < failures.size(); ++row) {
        QTreeWidgetItem* item = topLevelItem(row);
        item->setData(0, failureRole, failures.at(row));
        item->setIcon(0, failures.at(row).isEmpty() ? QIcon() : failedRuleIcon());
    }
    updateCutTooltips();
}

void RuleListView::resizeEvent(QResizeEvent* event)
{
    QTreeWidget::resizeEvent(event);
    fitColumns();
    updateEmptyHint();
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
