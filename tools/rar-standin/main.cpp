// rar-standin: a small archiver for machines without the real one. It takes
// the argument vector Tessaro passes to the archiver (command, switches,
// archive path, source folder), writes ZIP data with libarchive whatever the
// archive's extension, and answers with the archiver's exit codes.

#include "ArchiveTest.h"
#include "Archiver.h"
#include "CommandLine.h"
#include "Report.h"
#include "TempArchive.h"

#include <clocale>
#include <cstring>
#include <langinfo.h>

namespace {

using namespace tessaro::standin;

// File names are taken as UTF-8 and stored as such. Under the plain "C"
// locale libarchive would refuse to convert names outside ASCII.
void useUtf8Names()
{
    std::setlocale(LC_CTYPE, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0)
        std::setlocale(LC_CTYPE, "C.UTF-8");
}

ExitCode run(const CommandLine& commandLine, Report& report)
{
    if (commandLine.error.empty()) {
        return commandLine.options.command == Command::Test
                   ? testArchive(commandLine.options, report)
                   : runArchiver(commandLine.options, report);
    }
    report.error(commandLine.error);
    return ExitCode::BadOption;
}

} // namespace

int main(int argc, char** argv)
{
    installInterruptHandlers();
    useUtf8Names();
    const CommandLine commandLine = parseCommandLine({argv + 1, argv + argc});
    Report report(commandLine.options.quiet, commandLine.options.archivePath);
    const ExitCode code = run(commandLine, report);
    report.appendTo(commandLine.options.logFile);
    return static_cast<int>(code);
}
