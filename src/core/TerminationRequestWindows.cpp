#include "core/TerminationRequest.h"

namespace tessaro {

// A windowed Windows program is asked to end through its window (the
// session's end, a close message), which the window handles itself.
struct TerminationRequest::Platform
{};

TerminationRequest::TerminationRequest(std::function<void()>)
    : m_platform(std::make_unique<Platform>())
{}

TerminationRequest::~TerminationRequest() = default;

bool TerminationRequest::supported()
{
    return false;
}

} // namespace tessaro
