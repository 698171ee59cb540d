#pragma once

#include "ExitCode.h"

namespace tessaro::standin {

class Report;
struct Options;

// Carries out the command: archives the source folder into the archive
// path, creating it or adding to it. Errors go to the report; the result is
// the exit code.
ExitCode runArchiver(const Options& options, Report& report);

} // namespace tessaro::standin
