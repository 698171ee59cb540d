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
    return QStringLiteral("Usage: tessaro [--help | --version]\n"
                          "\n"
                          "Tessaro, a backup scheduler. Started without options it opens its\n"
                          "window; its rules and settings live in tessaro.ini in its data folder.\n"
                          "\n"
                          "Options:\n"
                          "  -h, --help     Show this help and end.\n"
                          "  -v, --version  Show the version and end.\n");
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

} // namespace tessaro
