#pragma once

#include "app/MainView.h"
#include "app/MainWindowLogic.h"
#include "ui/ControlRegistry.h"
#include "ui/SettingsBinder.h"

#include <QBoxLayout>
#include <QFrame>
#include <QPushButton>
#include <QString>

#include <functional>
#include <utility>

namespace tessaro {

// What every part of the main window is built with: the logic it forwards
// to, the settings binding and the registry of named controls.
struct PageContext
{
    MainWindowLogic& logic;
    SettingsBinder& binder;
    ControlRegistry& controls;
};

// A widget with its object name: the name the window's logic and the
// tests know it by.
template <typename W, typename... Args>
W* makeNamed(QWidget* parent, const char* name, Args&&... args)
{
    auto* widget = new W(std::forward<Args>(args)..., parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A thin sunken line between groups of controls.
inline QFrame* makeSeparator(QWidget* parent, QFrame::Shape shape = QFrame::HLine)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(shape);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// One push button of a page whose state the logic controls.
struct ButtonSpec
{
    Control control;
    const char* name;
    QString caption;
    std::function<void()> click;
};

inline QPushButton* addButton(QBoxLayout* row, QWidget* parent, const PageContext& context,
                              const ButtonSpec& spec)
{
    auto* button = makeNamed<QPushButton>(parent, spec.name, spec.caption);
    QObject::connect(button, &QPushButton::clicked, parent, spec.click);
    context.controls.add(spec.control, button);
    row->addWidget(button);
    return button;
}

} // namespace tessaro
