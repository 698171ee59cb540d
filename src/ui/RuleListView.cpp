#include "RuleListView.h"

#include <QHeaderView>
#include <QMouseEvent>

using namespace Qt::StringLiterals;

namespace tessaro {

namespace {

// Rows name their rule by the object's address. It is only compared, never
// followed: a row may outlive its rule until the list is shown anew.
constexpr int ruleRole = Qt::UserRole;

quintptr ruleKey(const QTreeWidgetItem* item)
{
    return item ? item->data(0, ruleRole).value<quintptr>() : 0;
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
    Q_EMIT ruleSelectionChanged();
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
