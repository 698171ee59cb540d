#include "PathRules.h"
#include "SystemConventions.h"

#include <QFile>
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

bool openDenyingOtherWriters(QFile& file)
{
    return file.open(QIODevice::ReadWrite) && ::flock(file.handle(), LOCK_EX | LOCK_NB) == 0;
}

} // namespace tessaro
