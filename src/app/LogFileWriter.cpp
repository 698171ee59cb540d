#include "LogFileWriter.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <sys/file.h>
#endif

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

constexpr QByteArrayView Utf8Mark("\xEF\xBB\xBF");
constexpr QByteArrayView Utf16LeMark("\xFF\xFE");
constexpr QByteArrayView Utf16BeMark("\xFE\xFF");

enum class FileEncoding
{
    // No byte order mark: the 8-bit code page.
    CodePage,
    Utf8,
    Utf16Le,
    Utf16Be,
};

FileEncoding detectEncoding(QByteArrayView head)
{
    if (head.startsWith(Utf8Mark))
        return FileEncoding::Utf8;
    if (head.startsWith(Utf16LeMark))
        return FileEncoding::Utf16Le;
    if (head.startsWith(Utf16BeMark))
        return FileEncoding::Utf16Be;
    return FileEncoding::CodePage;
}

bool isPlainAscii(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

// Bytes of an 8-bit log file written by this program or another one. Windows
// files follow the system code page; elsewhere there is no such setting, and
// Latin-1 maps every byte to a character, so nothing is lost.
QString fromCodePage(const QByteArray& bytes)
{
#ifdef Q_OS_WIN
    QStringDecoder decoder(QStringConverter::System);
    return decoder(bytes);
#else
    return QString::fromLatin1(bytes);
#endif
}

// The text in the file's encoding. A UTF-16 file gets UTF-16 rather than
// UTF-8, which would make the rest of the file unreadable. Text for an 8-bit
// file is plain ASCII by the time it gets here.
QByteArray encodeFor(FileEncoding encoding, const QString& text)
{
    switch (encoding) {
    case FileEncoding::CodePage:
        return text.toLatin1();
    case FileEncoding::Utf8:
        return text.toUtf8();
    case FileEncoding::Utf16Le:
        return QStringEncoder(QStringConverter::Utf16LE).encode(text);
    case FileEncoding::Utf16Be:
        return QStringEncoder(QStringConverter::Utf16BE).encode(text);
    }
    return {};
}

bool writeAll(QFile& file, const QByteArray& bytes)
{
    return file.write(bytes) == bytes.size();
}

// Unbuffered: a line needs only the file's first bytes read, and a buffered
// read would fetch a whole block of the file for every line.
constexpr QIODevice::OpenMode openMode = QIODevice::ReadWrite | QIODevice::Unbuffered;

// Opens the file for reading and writing, creating it when missing, with
// every other writer kept out until the file is closed. The lock is tried
// once: waiting for another program would freeze the window, and a line that
// cannot be written is dropped anyway.
bool openExclusive(QFile& file)
{
#ifdef Q_OS_WIN
    int fd = -1;
    const QString nativeName = QDir::toNativeSeparators(file.fileName());
    if (_wsopen_s(&fd, reinterpret_cast<const wchar_t*>(nativeName.utf16()),
                  _O_RDWR | _O_CREAT | _O_BINARY, _SH_DENYWR, _S_IREAD | _S_IWRITE) != 0)
        return false;
    if (!file.open(fd, openMode, QFileDevice::AutoCloseHandle)) {
        _close(fd);
        return false;
    }
    return true;
#else
    return file.open(openMode) && ::flock(file.handle(), LOCK_EX | LOCK_NB) == 0;
#endif
}

// Turns an 8-bit file into UTF-8 with a mark, then adds the text. The whole
// old content must have been read, or the rewrite would lose the rest.
bool rewriteAsUtf8(QFile& file, const QString& text)
{
    if (!file.seek(0))
        return false;
    const QByteArray old = file.readAll();
    if (old.size() != file.size())
        return false;
    const QByteArray content = Utf8Mark.toByteArray() + fromCodePage(old).toUtf8() + text.toUtf8();
    // The new content is never shorter for an 8-bit page, but a multi-byte
    // system page could make it so; cutting the file keeps no stale tail.
    return file.seek(0) && writeAll(file, content) && file.resize(content.size());
}

bool appendLocked(QFile& file, const QString& text)
{
    const QByteArray head = file.read(4);
    if (file.error() != QFileDevice::NoError)
        return false;
    const FileEncoding encoding = detectEncoding(head);
    if (encoding == FileEncoding::CodePage && !isPlainAscii(text))
        return rewriteAsUtf8(file, text);
    return file.seek(file.size()) && writeAll(file, encodeFor(encoding, text));
}

} // namespace

bool appendLogLine(const QString& fileName, const QString& line) noexcept
{
    try {
        QFile file(fileName);
        if (!openExclusive(file))
            return false;
        // Flushed before the close releases the lock, so the bytes land while
        // other writers are still kept out, and a failed write is seen here.
        return appendLocked(file, line + u"\r\n"_s) && file.flush();
    } catch (...) {
        return false;
    }
}

} // namespace tessaro
