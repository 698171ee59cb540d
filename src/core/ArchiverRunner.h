#pragma once

#include "core/ArchiverCommandLine.h"

#include <QString>

namespace tessaro {

// Starts the archiver with a command line in a working folder and waits for
// it while the thread's pending events run. The archive job and the archive
// test reach the archiver only through this, so that what they make of its
// result can be checked without starting a process.
class ArchiverRunner
{
public:
    virtual ~ArchiverRunner() = default;
    // The archiver's exit code, or ResultStartFailed when it has none.
    virtual int run(const QString& program, const ArchiverTokens& tokens,
                    const QString& workingFolder) = 0;
};

} // namespace tessaro
