#pragma once

#include <QSystemTrayIcon>

#include <memory>

class QMenu;

namespace tessaro {

// The icon in the notification area, shown only while the window is
// minimized to it, with its menu "&Open" and "E&xit".
class MainTrayIcon final : public QSystemTrayIcon
{
    Q_OBJECT

public:
    explicit MainTrayIcon(QObject* parent = nullptr);
    ~MainTrayIcon() override;

    QMenu* menu() const { return m_menu.get(); }

Q_SIGNALS:
    // A click on the icon or "&Open".
    void openRequested();
    void exitRequested();

private:
    // A menu has no parent object to own it.
    std::unique_ptr<QMenu> m_menu;
};

} // namespace tessaro
