#include "core/TerminationRequest.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace tessaro {

namespace {

// The write end of the pipe the handler signals through; a signal handler
// may do little more than write(2).
volatile sig_atomic_t writeEnd = -1;

extern "C" void onTerminationSignal(int)
{
    const char byte = 1;
    if (writeEnd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    }
}

} // namespace

struct TerminationRequest::Platform
{
    int fds[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier;
    struct sigaction previous = {};
};

TerminationRequest::TerminationRequest(std::function<void()> onRequest)
    : m_platform(std::make_unique<Platform>())
{
    Platform& p = *m_platform;
    if (::pipe(p.fds) != 0)
        return;
    for (int fd : p.fds)
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fcntl(p.fds[1], F_SETFL, O_NONBLOCK);
    p.notifier = std::make_unique<QSocketNotifier>(p.fds[0], QSocketNotifier::Read);
    connect(p.notifier.get(), &QSocketNotifier::activated, this,
            [this, onRequest = std::move(onRequest)] {
                char bytes[16];
                [[maybe_unused]] const ssize_t read =
                    ::read(m_platform->fds[0], bytes, sizeof bytes);
                onRequest();
            });
    writeEnd = p.fds[1];
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &p.previous);
}

TerminationRequest::~TerminationRequest()
{
    Platform& p = *m_platform;
    if (p.fds[0] < 0)
        return;
    ::sigaction(SIGTERM, &p.previous, nullptr);
    writeEnd = -1;
    p.notifier.reset();
    for (int fd : p.fds)
        ::close(fd);
}

bool TerminationRequest::supported()
{
    return true;
}

} // namespace tessaro
