#pragma once

#include <QObject>

#include <functional>
#include <memory>

namespace tessaro {

// Tells the program, from its event loop, that it is asked to end from
// outside, as a service manager or the session ends a program: SIGTERM on
// POSIX. Windows asks a windowed program through its window instead, so
// there it never fires. One lives at a time, while the event loop runs;
// without one, such a request ends the program at once, as by default.
class TerminationRequest final : public QObject
{
public:
    explicit TerminationRequest(std::function<void()> onRequest);
    ~TerminationRequest() override;
    Q_DISABLE_COPY_MOVE(TerminationRequest)

    // Whether requests reach onRequest on this platform.
    static bool supported();

private:
    struct Platform;
    std::unique_ptr<Platform> m_platform;
};

} // namespace tessaro
