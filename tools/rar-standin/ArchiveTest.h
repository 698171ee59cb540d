#pragma once

#include "ExitCode.h"

namespace tessaro::standin {

class Report;
struct Options;

// The test command: reads every entry of the archive back, decrypting with
// the password when one is given. 0 when all of it reads; 3 for damaged
// data, 11 for a wrong password, 2 when the archive cannot be opened.
ExitCode testArchive(const Options& options, Report& report);

} // namespace tessaro::standin
