#pragma once

#include "app/PassRecord.h"

#include <QString>

namespace tessaro {

// What the tray icon shows.
enum class TrayState
{
    Idle,
    Running,
    // The last pass had errors; stays until a pass without errors ends.
    Failed,
};

// Where alerts appear: the tray icon of the window. Tests hand in a fake.
class TrayView
{
public:
    virtual ~TrayView() = default;
    virtual void showTrayState(TrayState state) = 0;
    // A notification from the tray; clicking it opens the window on the log.
    virtual void showTrayNotice(const QString& title, const QString& text) = 0;
};

// Makes a failed pass visible outside the log: the tray icon's state and a
// notification naming the failures. Other warnings go out the same way.
class PassAlerts final : public PassObserver
{
public:
    PassAlerts() = default;
    Q_DISABLE_COPY_MOVE(PassAlerts)

    // The view may come later than the logic; until then alerts only change
    // the state.
    void setView(TrayView* view);
    TrayState state() const { return m_state; }

    void passStarted(PassTrigger trigger) override;
    void passEnded(const PassRecord& record) override;

    void notify(const QString& title, const QString& text);

    // The notification of a pass with errors.
    static QString failureTitle();
    static QString failureText(const PassRecord& record);

private:
    void setState(TrayState state);

    TrayView* m_view = nullptr;
    TrayState m_state = TrayState::Idle;
};

} // namespace tessaro
