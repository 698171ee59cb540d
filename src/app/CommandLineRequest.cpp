#include "app/CommandLineRequest.h"

#include "app/ProgramInfo.h"

namespace tessaro {

namespace {

QString versionText()
{
    return ProgramName() + QLatin1Char(' ') + ProgramVersion() + QLatin1Char('\n');
}

QString helpText()
{
    return QStringLiteral(
        "Usage: tessaro [--help | --version | --backup-once]\n"
        "\n"
        "Tessaro, a backup scheduler. Started without options it opens its\n"
        "window; its rules and settings live in tessaro.ini in its data folder.\n"
        "\n"
        "Options:\n"
        "  -h, --help     Show this help and end.\n"
        "  -v, --version  Show the version and end.\n"
        "  --backup-once  Run one backup pass on the saved rules and settings\n"
        "                 without a window and without asking anything, print\n"
        "                 the log lines, and end. For task schedulers and timers.\n"
        "\n"
        "Exit status of --backup-once:\n"
        "  0  the pass ran without errors\n"
        "  1  the pass ran with errors, or the configuration could not be saved\n"
        "  2  no pass could start (no rules, no archiver, configuration unreadable)\n"
        "  3  another copy of Tessaro runs on the same data folder\n");
}

} // namespace

std::optional<QString> CommandLineRequestText(const QStringList& arguments)
{
    // The first request wins, as with most programs: "--version --help"
    // prints the version.
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--version") || argument == QLatin1String("-v"))
            return versionText();
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return helpText();
    }
    return std::nullopt;
}

bool IsBackupOnceRequest(const QStringList& arguments)
{
    return arguments.contains(QLatin1String("--backup-once"));
}

} // namespace tessaro
