#include "app/PlatformTexts.h"

namespace tessaro {

namespace {

// Both archivers come from the same maker; RAR for Linux is offered on the
// same download page as WinRAR.
const QString DownloadPage = QStringLiteral("https://www.rarlab.com/download.htm");

PlatformTexts textsNaming(const QString& archiver, const QString& tab)
{
    return {
        tab,
        archiver + QStringLiteral(" location:"),
        QStringLiteral("Write ") + archiver + QStringLiteral(" error logfile:"),
        archiver + QStringLiteral(" location"),
        QStringLiteral("Found ") + archiver + QStringLiteral(" installation on this computer in "),
        QStringLiteral("Could not find ") + archiver +
            QStringLiteral(" installation on this computer. Did you install ") + archiver +
            QStringLiteral(" on this computer?"),
        QStringLiteral("Do you want to download ") + archiver + QStringLiteral(" now?"),
        DownloadPage,
        QStringLiteral("Using ") + archiver + QStringLiteral(" location "),
        QStringLiteral("Could not automatically find ") + archiver +
            QStringLiteral(" on your computer"),
        QStringLiteral("Setting ") + archiver + QStringLiteral(" location to "),
        QStringLiteral("No program could open the download page. Please download ") + archiver +
            QStringLiteral(" from this address:"),
    };
}

} // namespace

const PlatformTexts& platformTexts(PathStyle style)
{
    static const PlatformTexts windows =
        textsNaming(QStringLiteral("WinRAR"), QStringLiteral("WinRAR\u00AE"));
    static const PlatformTexts posix = textsNaming(QStringLiteral("RAR"), QStringLiteral("RAR"));
    return style == PathStyle::Windows ? windows : posix;
}

} // namespace tessaro
