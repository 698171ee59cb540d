#include "FullFileSystem.h"

#include <QByteArray>
#include <QFile>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <sys/mount.h>
#include <unistd.h>
#endif

namespace tessaro::test {

FullFileSystem::FullFileSystem(qint64 sizeBytes)
{
#ifdef Q_OS_LINUX
    if (::geteuid() != 0) {
        m_skipReason = QStringLiteral("mounting a small full file system needs root");
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(sizeBytes) + ",mode=0700";
    if (::mount("tessaro-test", QFile::encodeName(m_mountPoint.path()).constData(), "tmpfs",
                MS_NOSUID | MS_NODEV, options.constData()) != 0) {
        m_skipReason = QStringLiteral("cannot mount a tmpfs here: ") + qt_error_string(errno);
        return;
    }
    m_mounted = true;
#else
    Q_UNUSED(sizeBytes);
    m_skipReason = QStringLiteral("a small file system is mounted on Linux only");
#endif
}

FullFileSystem::~FullFileSystem()
{
#ifdef Q_OS_LINUX
    if (m_mounted)
        ::umount2(QFile::encodeName(m_mountPoint.path()).constData(), MNT_DETACH);
#endif
}

bool FullFileSystem::fill()
{
    if (!m_mounted)
        return false;
    QFile filler(filePath(QStringLiteral("filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    // Whole pages first, then the bytes left in the last page.
    const QByteArray page(4096, 'f');
    while (filler.write(page) == page.size()) {
    }
    while (filler.write("f", 1) == 1) {
    }
    return true;
}

} // namespace tessaro::test
