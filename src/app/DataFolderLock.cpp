#include "app/DataFolderLock.h"

#include "core/LockFileProbe.h"

#include <QDateTime>
#include <QFileInfo>

namespace tessaro {

DataFolderLock::DataFolderLock(const QString& dataFolder)
    : m_dataFolder(dataFolder), m_lock(lockFileName(dataFolder))
{
    // The program holds the folder for weeks: a lock may only be taken over
    // when its process is gone, never because the lock file is old.
    m_lock.setStaleLockTime(0);
}

QString DataFolderLock::lockFileName(const QString& dataFolder)
{
    return dataFolder + QStringLiteral("tessaro.lock");
}

DataFolderLock::Outcome DataFolderLock::tryLock()
{
    // The lock reads an existing lock file, and reading a pipe put in its
    // place would wait for a writer that never comes.
    const QFileInfo existing(lockFileName(m_dataFolder));
    if (existing.exists() && !existing.isFile())
        return Outcome::Unavailable;
    if (m_lock.tryLock(0))
        return Outcome::Locked;
    if (m_lock.error() != QLockFile::LockFailedError)
        return Outcome::Unavailable;
    return takeOverUnprovenLock() ? Outcome::Locked : Outcome::HeldByOther;
}

bool DataFolderLock::ownerShownAlive() const
{
    // A readable lock file names its process, and the lock has already
    // checked that it runs; an unreadable one (empty after a kill or a power
    // loss, garbage, NUL bytes) proves nothing by its text.
    if (holderProcessId() != 0)
        return true;
    const QString fileName = lockFileName(m_dataFolder);
    if (lockFileHeldOpen(fileName))
        return true;
    // The owner creates the file first and locks and fills it a moment
    // later: a file that young may still be on its way to a live owner.
    const QDateTime modified = QFileInfo(fileName).lastModified();
    return modified.isValid() &&
           qAbs(modified.msecsTo(QDateTime::currentDateTimeUtc())) < kLockBeingWrittenMs;
}

bool DataFolderLock::takeOverUnprovenLock()
{
    if (ownerShownAlive())
        return false;
    // Two programs that both find the lock unproven remove it one at a time,
    // so the second cannot remove the lock the first has just taken.
    QLockFile removal(lockFileName(m_dataFolder) + QStringLiteral(".rmlock"));
    if (!removal.tryLock(0) || ownerShownAlive())
        return false;
    return m_lock.removeStaleLockFile() && m_lock.tryLock(0);
}

qint64 DataFolderLock::holderProcessId() const
{
    qint64 pid = 0;
    QString host;
    QString application;
    return m_lock.getLockInfo(&pid, &host, &application) ? pid : 0;
}

} // namespace tessaro
