#include "app/DataFolderLock.h"

namespace tessaro {

DataFolderLock::DataFolderLock(const QString& dataFolder) : m_lock(lockFileName(dataFolder))
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
    if (m_lock.tryLock(0))
        return Outcome::Locked;
    return m_lock.error() == QLockFile::LockFailedError ? Outcome::HeldByOther
                                                        : Outcome::Unavailable;
}

qint64 DataFolderLock::holderProcessId() const
{
    qint64 pid = 0;
    QString host;
    QString application;
    return m_lock.getLockInfo(&pid, &host, &application) ? pid : 0;
}

} // namespace tessaro
