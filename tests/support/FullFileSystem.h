#pragma once

#include <QString>
#include <QTemporaryDir>

namespace tessaro::test {

// A small file system of its own (tmpfs), mounted for one test and unmounted
// at the end, which the test fills to the last byte: writes then fail with
// "No space left on device" as on a really full disk. Mounting needs root on
// Linux; where it cannot be done, skipReason() says why.
class FullFileSystem final
{
public:
    explicit FullFileSystem(qint64 sizeBytes = 256 * 1024);
    ~FullFileSystem();
    FullFileSystem(const FullFileSystem&) = delete;
    FullFileSystem& operator=(const FullFileSystem&) = delete;

    // Empty when mounted.
    QString skipReason() const { return m_skipReason; }
    // A path on the file system.
    QString filePath(const QString& name) const { return m_mountPoint.filePath(name); }
    // Takes up every byte left with a filler file; false when it could not.
    bool fill();

private:
    QTemporaryDir m_mountPoint;
    QString m_skipReason;
    bool m_mounted = false;
};

} // namespace tessaro::test
