#pragma once

#include <QLockFile>
#include <QString>

namespace tessaro {

// Keeps a second program away from a data folder that one already uses: two
// programs on one folder race their saves of the configuration file, and one's
// auto clean deletes archives the other has just made. The lock is a file in
// the data folder that lives as long as this object; a lock file whose owner
// cannot be shown to run (its process is gone, or its text is empty or
// damaged and nobody holds it) is taken over.
class DataFolderLock final
{
public:
    enum class Outcome
    {
        // This program owns the data folder.
        Locked,
        // Another running program owns it.
        HeldByOther,
        // The folder cannot take the lock file (read-only, missing): nothing
        // can be saved there either, so there is nothing to guard.
        Unavailable,
    };

    // The folder with its trailing separator.
    explicit DataFolderLock(const QString& dataFolder);
    Q_DISABLE_COPY_MOVE(DataFolderLock)

    Outcome tryLock();
    // The process id of the program that holds the folder; 0 when unknown.
    qint64 holderProcessId() const;

    static QString lockFileName(const QString& dataFolder);

private:
    // How long a new lock file may stay unreadable while its owner writes it.
    static constexpr qint64 kLockBeingWrittenMs = 5000;

    bool ownerShownAlive() const;
    bool takeOverUnprovenLock();

    QString m_dataFolder;
    QLockFile m_lock;
};

} // namespace tessaro
