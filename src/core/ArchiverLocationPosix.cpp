// Where the archiver is looked for on POSIX systems: the search path, then
// the usual places for software installed by hand.

#include "core/ArchiverLocation.h"

#include <QDir>
#include <QStandardPaths>

namespace tessaro {

QString ArchiverFileName()
{
    return QStringLiteral("rar");
}

ArchiverSources PlatformArchiverSources()
{
    ArchiverSources sources;
    sources.pathLookup = [] {
        return QStandardPaths::findExecutable(ArchiverFileName());
    };
    sources.scanFolders = {QStringLiteral("/usr/local"), QStringLiteral("/opt"), QDir::homePath()};
    return sources;
}

} // namespace tessaro
