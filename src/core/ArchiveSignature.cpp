#include "core/ArchiveSignature.h"

#include <QFile>
#include <QFileInfo>

namespace tessaro {

namespace {

struct Signature
{
    QByteArrayView bytes;
    ArchiveKind kind;
};

// A ZIP archive starts with a local file header, or with the end record
// when it holds no entry; RAR's marker blocks differ in their last bytes.
constexpr Signature signatures[] = {
    {QByteArrayView("PK\x03\x04", 4), ArchiveKind::Zip},
    {QByteArrayView("PK\x05\x06", 4), ArchiveKind::Zip},
    {QByteArrayView("Rar!\x1A\x07\x00", 7), ArchiveKind::Rar4},
    {QByteArrayView("Rar!\x1A\x07\x01\x00", 8), ArchiveKind::Rar5},
};

constexpr qint64 longestSignature = 8;

} // namespace

ArchiveKind ReadArchiveKind(const QString& path)
{
    // Only a regular file is opened: a pipe put there would block the read.
    if (!QFileInfo(path).isFile())
        return ArchiveKind::Unreadable;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ArchiveKind::Unreadable;
    const QByteArray head = file.read(longestSignature);
    for (const Signature& signature : signatures) {
        if (QByteArrayView(head).startsWith(signature.bytes))
            return signature.kind;
    }
    return ArchiveKind::Other;
}

} // namespace tessaro
