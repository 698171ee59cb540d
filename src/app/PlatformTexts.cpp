#include "app/PlatformTexts.h"

namespace tessaro {

namespace {

// Both archivers come from the same maker; RAR for Linux is offered on the
// same download page as WinRAR.
const QString DownloadPage = QStringLiteral("https://www.rarlab.com/download.htm");

PlatformTexts textsNaming(const QString& archiver, const QString& tab, const QString& formatNote)
{
    return {
        tab,
        archiver + QStringLiteral(" location:"),
        QStringLiteral("Write ") + archiver + QStringLiteral(" error logfile:"),
        archiver + QStringLiteral(" location"),
        QStringLiteral("Could not find ") + archiver + QStringLiteral(" on this computer"),
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
        formatNote,
        QStringLiteral("No program could open the download page. Please download ") + archiver +
            QStringLiteral(" from this address:"),
    };
}

} // namespace

const PlatformTexts& platformTexts(PathStyle style)
{
    static const PlatformTexts windows =
        textsNaming(QStringLiteral("WinRAR"), QStringLiteral("WinRAR\u00AE"), QString());
    // RAR for Linux writes RAR archives only, and RAR 7 only RAR5: a ZIP
    // rule fails, a RAR4 one gets RAR5.
    static const PlatformTexts posix = textsNaming(
        QStringLiteral("RAR"), QStringLiteral("RAR"),
        QStringLiteral("RAR for Linux writes RAR archives only: choose RAR. With ZIP every "
                       "backup fails; RAR4 (Compatible) gives RAR5 archives with RAR 7."));
    return style == PathStyle::Windows ? windows : posix;
}

} // namespace tessaro
