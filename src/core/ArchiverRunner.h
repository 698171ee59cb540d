#pragma once

#include "core/ArchiverCommandLine.h"

#include <QString>

#include <functional>

namespace tessaro {

// Starts the archiver with a command line in a working folder and reports
// its end. The archive job and the archive test reach the archiver only
// through this, so that what they make of its result can be checked without
// starting a process.
class ArchiverRunner
{
public:
    // The archiver's exit code, or ResultStartFailed when it has none.
    using Finished = std::function<void(int resultCode)>;

    virtual ~ArchiverRunner() = default;
    // Starts the archiver and returns without waiting for it. finished runs
    // exactly once when it has ended or could not start: from the event loop,
    // or, for a runner that starts no process, possibly before start returns.
    // One archiver runs at a time.
    virtual void start(const QString& program, const ArchiverTokens& tokens,
                       const QString& workingFolder, Finished finished) = 0;
    // Ends the running archiver, if any: asks it to end, then kills it after a
    // short grace. Its finished still runs, with the code it ended with.
    virtual void stop() = 0;
};

} // namespace tessaro
