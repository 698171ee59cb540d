#include "app/LogFileWriter.h"

#include "core/SystemConventions.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

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

// Turns an 8-bit file into UTF-8 with a mark, then adds the text. The whole
// old content must have been read, or the rewrite would lose the rest.
bool rewriteAsUtf8(QFile& file, const QString& text)
{
    if (!file.seek(0))
        return false;
    const QByteArray old = file.readAll();
    if (old.size() != file.size())
        return false;
    const QByteArray content =
        Utf8Mark.toByteArray() + decodeEightBitLog(old).toUtf8() + text.toUtf8();
    // The new content is never shorter for an 8-bit page, but a multi-byte
    // system page could make it so; cutting the file keeps no stale tail.
    if (file.seek(0) && writeAll(file, content) && file.resize(content.size()))
        return true;
    // The old content goes back where it was: it needs no more room than it
    // had, so this works on a full disk too.
    if (file.seek(0) && writeAll(file, old))
        file.resize(old.size());
    return false;
}

bool appendLocked(QFile& file, const QString& text)
{
    const QByteArray head = file.read(4);
    if (file.error() != QFileDevice::NoError)
        return false;
    const FileEncoding encoding = detectEncoding(head);
    if (encoding == FileEncoding::CodePage && !isPlainAscii(text))
        return rewriteAsUtf8(file, text);
    const qint64 oldSize = file.size();
    if (file.seek(oldSize) && writeAll(file, encodeFor(encoding, text)))
        return true;
    // A line written in part (a full disk) is cut off again: the next line
    // would otherwise continue it.
    file.resize(oldSize);
    return false;
}

} // namespace

bool appendLogLine(const QString& fileName, const QString& line) noexcept
{
    try {
        QFile file(fileName);
        if (!openDenyingOtherWriters(file))
            return false;
        // Written unbuffered while the lock keeps other writers out, so a
        // failed write is seen here and undone before anyone else appends.
        return appendLocked(file, line + u"\r\n"_s);
    } catch (...) {
        return false;
    }
}

} // namespace tessaro
