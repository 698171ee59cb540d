// Where the archiver is looked for on Windows: its installer's registry key,
// then the program folders.

#include "core/ArchiverLocation.h"

#include <QSettings>

namespace tessaro {

namespace {

RegistryValueReader registryView(QSettings::Format view)
{
    return [view](const QString& valueName) {
        const QSettings key(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\WinRAR"), view);
        return key.value(valueName).toString();
    };
}

} // namespace

QString ArchiverFileName()
{
    return QStringLiteral("winrar.exe");
}

ArchiverSources PlatformArchiverSources()
{
    ArchiverSources sources;
    sources.registry64 = registryView(QSettings::Registry64Format);
    sources.registry32 = registryView(QSettings::Registry32Format);
    sources.scanFolders = {qEnvironmentVariable("ProgramFiles"),
                           qEnvironmentVariable("ProgramFiles(x86)"),
                           qEnvironmentVariable("ProgramW6432")};
    return sources;
}

} // namespace tessaro
