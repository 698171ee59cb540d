#include "core/PathRules.h"
#include "core/SystemConventions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringDecoder>

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

namespace tessaro {

PathStyle nativePathStyle()
{
    return PathStyle::Windows;
}

QStringConverter::Encoding plainTextEncoding()
{
    return QStringConverter::System;
}

QString decodeEightBitLog(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringConverter::System);
    return decoder(bytes);
}

QChar systemTimeSeparator()
{
    // The short time format carries the user's separator right after the hours.
    const QString format = QLocale::system().timeFormat(QLocale::ShortFormat);
    const qsizetype hours = format.indexOf(QLatin1Char('h'), 0, Qt::CaseInsensitive);
    for (qsizetype i = hours; hours >= 0 && i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (!c.isLetter())
            return c;
    }
    return QLatin1Char(':');
}

QString computerName()
{
    return qEnvironmentVariable("COMPUTERNAME");
}

bool createPrivateFile(QFile& file)
{
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
}

bool hasOwnerOnlyFiles()
{
    return false;
}

bool openToOtherUsers(const QString&)
{
    return false;
}

bool openRegularFile(QFile& file, QIODevice::OpenMode mode, QString* error)
{
    // Named pipes do not live among files here; a folder or a device name
    // in the file's place is refused all the same.
    const QFileInfo info(file.fileName());
    if (info.exists() && !info.isFile()) {
        if (error)
            *error = QStringLiteral("not a regular file");
        return false;
    }
    if (file.open(mode))
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

bool openDenyingOtherWriters(QFile& file)
{
    const QFileInfo info(file.fileName());
    if (info.exists() && !info.isFile())
        return false;
    int fd = -1;
    const QString nativeName = QDir::toNativeSeparators(file.fileName());
    if (_wsopen_s(&fd, reinterpret_cast<const wchar_t*>(nativeName.utf16()),
                  _O_RDWR | _O_CREAT | _O_BINARY, _SH_DENYWR, _S_IREAD | _S_IWRITE) != 0)
        return false;
    if (!file.open(fd, QIODevice::ReadWrite | QIODevice::Unbuffered,
                   QFileDevice::AutoCloseHandle)) {
        _close(fd);
        return false;
    }
    return true;
}

} // namespace tessaro
