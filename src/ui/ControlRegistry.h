#pragma once

#include "app/MainView.h"

#include <QAction>
#include <QHash>
#include <QLabel>
#include <QPointer>
#include <QWidget>

namespace tessaro {

// Which widget or menu action stands for each control the window's logic
// names, so that its enable and text requests reach the right one.
class ControlRegistry final
{
public:
    void add(Control control, QObject* object) { m_objects.insert(control, object); }
    QObject* object(Control control) const { return m_objects.value(control); }

    void setEnabled(Control control, bool enabled) const
    {
        QObject* target = object(control);
        if (auto* widget = qobject_cast<QWidget*>(target))
            widget->setEnabled(enabled);
        else if (auto* action = qobject_cast<QAction*>(target))
            action->setEnabled(enabled);
    }

    void setText(Control control, const QString& text) const
    {
        QObject* target = object(control);
        if (auto* label = qobject_cast<QLabel*>(target))
            label->setText(text);
        else if (auto* action = qobject_cast<QAction*>(target))
            action->setText(text);
    }

private:
    QHash<Control, QPointer<QObject>> m_objects;
};

} // namespace tessaro
