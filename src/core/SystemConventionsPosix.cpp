#include "core/PathRules.h"
#include "core/SystemConventions.h"

#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

int openFlags(QIODevice::OpenMode mode)
{
    const bool reads = mode.testFlag(QIODevice::ReadOnly);
    const bool writes = mode.testFlag(QIODevice::WriteOnly);
    // Non-blocking: opening a pipe would otherwise wait for its other end.
    int flags = O_CLOEXEC | O_NONBLOCK | (reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY);
    if (writes && !mode.testFlag(QIODevice::ExistingOnly))
        flags |= O_CREAT;
    if (mode.testFlag(QIODevice::NewOnly))
        flags |= O_CREAT | O_EXCL;
    if (mode.testFlag(QIODevice::Append))
        flags |= O_APPEND;
    return flags;
}

bool refuse(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

} // namespace

bool openRegularFile(QFile& file, QIODevice::OpenMode mode, QString* error)
{
    const int fd = ::open(QFile::encodeName(file.fileName()).constData(), openFlags(mode), 0666);
    if (fd < 0)
        return refuse(error, qt_error_string(errno));
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return refuse(error, QStringLiteral("not a regular file"));
    }
    // Truncated only now that it is known to be the file it should be. The
    // flag that kept a FIFO from blocking the open stays: it means nothing
    // for a regular file.
    if (mode.testFlag(QIODevice::Truncate) && ::ftruncate(fd, 0) != 0) {
        const int reason = errno;
        ::close(fd);
        return refuse(error, qt_error_string(reason));
    }
    const QIODevice::OpenMode kept =
        mode & ~(QIODevice::Truncate | QIODevice::NewOnly | QIODevice::ExistingOnly);
    if (!file.open(fd, kept, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refuse(error, file.errorString());
    }
    return true;
}

bool openDenyingOtherWriters(QFile& file)
{
    return openRegularFile(file, QIODevice::ReadWrite | QIODevice::Unbuffered) &&
           ::flock(file.handle(), LOCK_EX | LOCK_NB) == 0;
}

} // namespace tessaro
