#pragma once

#include "app/PassAlerts.h"

#include <QSystemTrayIcon>

#include <array>
#include <memory>

class QAction;
class QMenu;

namespace tessaro {

// The icon in the notification area, shown while the window is minimized
// to it and while the last pass has failed, with its menu "&Open",
// "&Stop backup" and "E&xit". Its picture and tooltip show the state of the passes.
class MainTrayIcon final : public QSystemTrayIcon
{
    Q_OBJECT

public:
    explicit MainTrayIcon(QObject* parent = nullptr);
    ~MainTrayIcon() override;

    QMenu* menu() const { return m_menu.get(); }
    // "&Stop backup", which the window enables while a pass runs.
    QAction* stopAction() const { return m_stop; }

    void setState(TrayState state);
    TrayState state() const { return m_state; }
    // Shows a notification; the last one stays readable for whoever asks.
    void notify(const QString& title, const QString& text);
    QString lastNoticeTitle() const { return m_lastNoticeTitle; }
    QString lastNoticeText() const { return m_lastNoticeText; }

Q_SIGNALS:
    // A click on the icon or "&Open".
    void openRequested();
    void exitRequested();
    void stopRequested();

private:
    // A menu has no parent object to own it.
    std::unique_ptr<QMenu> m_menu;
    QAction* m_stop = nullptr;
    TrayState m_state = TrayState::Idle;
    // Each state's icon, drawn the first time it is shown: the pictures
    // behind it are read from files.
    std::array<QIcon, 3> m_stateIcons;
    QString m_lastNoticeTitle;
    QString m_lastNoticeText;
};

} // namespace tessaro
