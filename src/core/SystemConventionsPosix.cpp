#include "core/PathRules.h"
#include "core/SystemConventions.h"

#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <sys/file.h>

namespace tessaro {

PathStyle nativePathStyle()
{
    return PathStyle::Posix;
}

QStringConverter::Encoding plainTextEncoding()
{
    return QStringConverter::Utf8;
}

QString decodeEightBitLog(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes);
}

QChar systemTimeSeparator()
{
    return QLatin1Char(':');
}

QString computerName()
{
    const QString name = qEnvironmentVariable("COMPUTERNAME");
    return name.isEmpty() ? QSysInfo::machineHostName() : name;
}

bool createPrivateFile(QFile& file)
{
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                     QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

bool hasOwnerOnlyFiles()
{
    return true;
}

bool openToOtherUsers(const QString& fileName)
{
    constexpr QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                QFileDevice::WriteOther | QFileDevice::ExeOther;
    return (QFileInfo(fileName).permissions() & others) != 0;
}

bool openDenyingOtherWriters(QFile& file)
{
    return file.open(QIODevice::ReadWrite | QIODevice::Unbuffered) &&
           ::flock(file.handle(), LOCK_EX | LOCK_NB) == 0;
}

} // namespace tessaro
