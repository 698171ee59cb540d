#pragma once

#include "core/ArchiverCommandLine.h"

#include <QString>

namespace tessaro {

// Runs the archiver hidden in the working folder and waits for it in
// 50 ms slices, processing the pending events of the calling thread after
// each slice, with no overall time limit. Returns the exit code, or
// ResultStartFailed when the program does not start, crashes, is ended by a
// signal or its exit code cannot be read.
//
// On Windows the archiver receives the parameter string as its command line;
// elsewhere it receives the tokens as its argument vector.
int RunWinRAR(const QString& winRARPath, const ArchiverTokens& tokens,
              const QString& workingFolder);

// The archiver's working folder: the first existing folder of temporary
// files, local application data, documents; with a trailing separator. Empty
// when none exists.
QString GetArchiverWorkingFolder();

} // namespace tessaro
