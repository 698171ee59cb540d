#include "ui/NavigationBar.h"

#include "ui/Icons.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace tessaro {

NavigationBar::NavigationBar(const PageContext& context, std::function<void()> showSettings,
                             QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("NavigationBar"));
    setFixedHeight(Height);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 4, 4, 4);
    row->setSpacing(2);

    PeriodicRunController& periodic = context.logic.periodic();
    BackupPass& pass = context.logic.pass();
    row->addWidget(makeButton("NavButtonSettings", QStringLiteral("Settings"),
                              QStringLiteral("settings"), std::move(showSettings)));
    row->addWidget(makeSeparator(this, QFrame::VLine));

    const struct
    {
        Control control;
        const char* name;
        const char* hint;
        const char* icon;
        std::function<void()> click;
        // Where it sits: the run and stop buttons on the left, backup once
        // alone at the right end.
        bool atRightEnd;
        // Stop waits for periodic runs to start.
        bool enabledAtStart;
    } buttons[] = {
        {Control::NavButtonRun, "NavButtonRun", "Run", "run",
         [&periodic] { periodic.NavButtonRunClick(); }, false, true},
        {Control::NavButtonStop, "NavButtonStop", "Stop", "stop",
         [&periodic] { periodic.ActionStop(); }, false, false},
        {Control::NavButtonRunOnce, "NavButtonRunOnce", "Backup Once (Now)", "runonce",
         [&pass] { pass.BackUpOnceNow(); }, true, true},
    };
    for (const auto& spec : buttons) {
        if (spec.atRightEnd)
            row->addStretch();
        QToolButton* button = makeButton(spec.name, QString::fromLatin1(spec.hint),
                                         QString::fromLatin1(spec.icon), spec.click);
        button->setEnabled(spec.enabledAtStart);
        context.controls.add(spec.control, button);
        row->addWidget(button);
    }
}

QToolButton* NavigationBar::makeButton(const char* name, const QString& hint, const QString& icon,
                                       std::function<void()> click)
{
    auto* button = makeNamed<QToolButton>(this, name);
    button->setFixedSize(ButtonSize, ButtonSize);
    button->setIconSize(QSize(IconSize, IconSize));
    button->setIcon(navigationIcon(icon));
    button->setToolTip(hint);
    button->setAutoRaise(true);
    // Image buttons are for the mouse; the Tab key passes them by.
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QToolButton::clicked, this, std::move(click));
    return button;
}

} // namespace tessaro
