#include "ui/FocusOrder.h"

#include <QGridLayout>
#include <QLayout>
#include <QMainWindow>
#include <QScrollArea>
#include <QTabWidget>
#include <QWidget>

#include <algorithm>

namespace tessaro {

namespace {

void collect(QWidget* widget, QWidgetList& order);

// A grid lists its items as they were added; reading order is by row, then
// by column.
QList<QLayoutItem*> itemsInReadingOrder(QLayout* layout)
{
    QList<QLayoutItem*> items;
    for (int i = 0; i < layout->count(); ++i)
        items.append(layout->itemAt(i));
    auto* grid = qobject_cast<QGridLayout*>(layout);
    if (!grid)
        return items;
    const auto position = [grid](QLayoutItem* item) {
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(grid->indexOf(item), &row, &column, &rowSpan, &columnSpan);
        return std::pair{row, column};
    };
    std::stable_sort(items.begin(), items.end(),
                     [&](QLayoutItem* a, QLayoutItem* b) { return position(a) < position(b); });
    return items;
}

void collect(QLayout* layout, QWidgetList& order)
{
    for (QLayoutItem* item : itemsInReadingOrder(layout)) {
        if (QWidget* widget = item->widget())
            collect(widget, order);
        else if (QLayout* inner = item->layout())
            collect(inner, order);
    }
}

void collect(QWidget* widget, QWidgetList& order)
{
    if (widget->focusPolicy() & Qt::TabFocus)
        order.append(widget);
    if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
        for (int i = 0; i < tabs->count(); ++i)
            collect(tabs->widget(i), order);
        return;
    }
    // A spin box or a combo box keeps its inner editor to itself.
    if (widget->focusPolicy() & Qt::TabFocus)
        return;
    if (auto* scroll = qobject_cast<QScrollArea*>(widget)) {
        if (scroll->widget())
            collect(scroll->widget(), order);
        return;
    }
    if (auto* window = qobject_cast<QMainWindow*>(widget)) {
        collect(window->centralWidget(), order);
        return;
    }
    if (QLayout* layout = widget->layout())
        collect(layout, order);
}

} // namespace

void orderFocusByLayout(QWidget* root)
{
    QWidgetList order;
    collect(root, order);
    order.removeAll(root);
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace tessaro
