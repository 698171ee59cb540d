#include "core/ArchiverExitCodes.h"

namespace tessaro {

QString WinRARExitCodeText(int code)
{
    switch (code) {
    case 0:
        return QStringLiteral("Successful operation");
    case 1:
        return QStringLiteral("Warning. Non fatal error(s) occurred");
    case 2:
        return QStringLiteral("A fatal error occurred");
    case 3:
        return QStringLiteral("Invalid checksum. Data is damaged");
    case 4:
        return QStringLiteral("Attempt to modify a locked archive");
    case 5:
        return QStringLiteral("Write error");
    case 6:
        return QStringLiteral("File open error");
    case 7:
        return QStringLiteral("Wrong command line option");
    case 8:
        return QStringLiteral("Not enough memory");
    case 9:
        return QStringLiteral("File create error");
    case 10:
        return QStringLiteral("No files matching the specified mask and options were found");
    case 11:
        return QStringLiteral("Wrong password");
    case 255:
        return QStringLiteral("User break");
    case ResultStartFailed:
        return QStringLiteral("Failed to start WinRAR");
    case ResultNoArchiveCreated:
        return QStringLiteral("WinRAR did not create an archive file");
    case ResultNotZipArchive:
        return QStringLiteral("The archiver wrote no ZIP archive (RAR for Linux writes RAR "
                              "archives only)");
    case ResultStopped:
        return QStringLiteral("Backup stopped");
    default:
        // The job's own skip codes (source empty, unsafe password or masks) have their
        // own log lines and read as unknown here, like any code the archiver
        // is not known to return.
        return QStringLiteral("unknown error");
    }
}

} // namespace tessaro
