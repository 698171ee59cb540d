#include "ui/MainTrayIcon.h"

#include "ui/Icons.h"

#include <QMenu>

namespace tessaro {

MainTrayIcon::MainTrayIcon(QObject* parent)
    : QSystemTrayIcon(parent), m_menu(std::make_unique<QMenu>())
{
    setObjectName(QStringLiteral("TrayIcon"));
    setIcon(m_stateIcons.at(size_t(TrayState::Idle)) = programIcon());
    setToolTip(QStringLiteral("Tessaro"));
    m_menu->setObjectName(QStringLiteral("TrayMenu"));
    QAction* open = m_menu->addAction(QStringLiteral("&Open"));
    open->setObjectName(QStringLiteral("TrayMenuOpen"));
    connect(open, &QAction::triggered, this, &MainTrayIcon::openRequested);
    m_stop = m_menu->addAction(QStringLiteral("&Stop backup"));
    m_stop->setObjectName(QStringLiteral("TrayMenuStopBackup"));
    m_stop->setEnabled(false);
    connect(m_stop, &QAction::triggered, this, &MainTrayIcon::stopRequested);
    QAction* exit = m_menu->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("TrayMenuExit"));
    connect(exit, &QAction::triggered, this, &MainTrayIcon::exitRequested);
    setContextMenu(m_menu.get());

    connect(this, &QSystemTrayIcon::activated, this, [this](ActivationReason reason) {
        if (reason == Trigger || reason == DoubleClick)
            Q_EMIT openRequested();
    });
}

MainTrayIcon::~MainTrayIcon() = default;

void MainTrayIcon::setState(TrayState state)
{
    m_state = state;
    QIcon& icon = m_stateIcons.at(size_t(state));
    if (icon.isNull())
        icon = trayStateIcon(state);
    setIcon(icon);
}

void MainTrayIcon::notify(const QString& title, const QString& text)
{
    m_lastNoticeTitle = title;
    m_lastNoticeText = text;
    showMessage(title, text, QSystemTrayIcon::Warning);
}

} // namespace tessaro
