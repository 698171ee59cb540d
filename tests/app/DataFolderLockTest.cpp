#include "app/DataFolderLock.h"

#include "TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using Outcome = DataFolderLock::Outcome;

QString s(const char* text)
{
    return QString::fromUtf8(text);
}

// The id of a process that has ended and been reaped: nobody runs under it.
qint64 idOfAnEndedProcess()
{
    QProcess process;
    process.start(s(TESSARO_FAKE_ARCHIVER), QStringList());
    EXPECT_TRUE(process.waitForStarted());
    const qint64 id = process.processId();
    EXPECT_TRUE(process.waitForFinished());
    return id;
}

class DataFolderLockTest : public ::testing::Test
{
protected:
    QString folder() const { return test::withSlash(m_dir.path()); }
    QString lockFile() const { return DataFolderLock::lockFileName(folder()); }

    // The lock file a program with this id and executable name leaves, in
    // the layout the lock itself writes.
    QByteArray lockFileOf(qint64 processId, const QByteArray& programName) const
    {
        QByteArray own;
        {
            DataFolderLock sample(test::withSlash(m_other.path()));
            EXPECT_EQ(sample.tryLock(), Outcome::Locked);
            own = test::readFile(DataFolderLock::lockFileName(test::withSlash(m_other.path())));
        }
        QList<QByteArray> lines = own.split('\n');
        EXPECT_GE(lines.size(), 3);
        lines[0] = QByteArray::number(processId);
        lines[1] = programName;
        return lines.join('\n');
    }

    QTemporaryDir m_dir;
    QTemporaryDir m_other;
};

TEST_F(DataFolderLockTest, HeldFolderIsRefusedAndNamesItsHolderUntilReleased)
{
    auto first = std::make_unique<DataFolderLock>(folder());
    ASSERT_EQ(first->tryLock(), Outcome::Locked);
    EXPECT_EQ(lockFile(), folder() + s("tessaro.lock"));
    EXPECT_TRUE(QFileInfo::exists(lockFile()));

    DataFolderLock second(folder());
    EXPECT_EQ(second.tryLock(), Outcome::HeldByOther);
    EXPECT_EQ(second.holderProcessId(), QCoreApplication::applicationPid());

    first.reset();
    EXPECT_FALSE(QFileInfo::exists(lockFile()));
    EXPECT_EQ(second.tryLock(), Outcome::Locked);
}

struct LeftLockCase
{
    const char* name;
    bool holderEnded;       // else: this test program's own, running process
    const char* holderName; // the executable name in the lock file
    Outcome outcome;
};

TEST_F(DataFolderLockTest, LockLeftByAProgramThatIsGoneIsTakenOver)
{
    // The name a lock file records: the application's, without ".exe".
    const QByteArray ownName = QCoreApplication::applicationName().toUtf8();
    const LeftLockCase cases[] = {
        {"its process has ended", true, "tessaro", Outcome::Locked},
        {"its process id now belongs to another program", false, "tessaro", Outcome::Locked},
        // An old lock file of a running holder is no reason to take it.
        {"its holder still runs", false, nullptr, Outcome::HeldByOther},
    };
    for (const LeftLockCase& c : cases) {
        SCOPED_TRACE(c.name);
        const qint64 holder =
            c.holderEnded ? idOfAnEndedProcess() : QCoreApplication::applicationPid();
        test::writeFile(lockFile(),
                        lockFileOf(holder, c.holderName ? QByteArray(c.holderName) : ownName));
        test::setModified(lockFile(), QDateTime::currentDateTime().addDays(-30));

        DataFolderLock lock(folder());
        EXPECT_EQ(lock.tryLock(), c.outcome);

        const QByteArray left = test::readFile(lockFile());
        if (c.outcome == Outcome::Locked)
            EXPECT_TRUE(left.startsWith(QByteArray::number(QCoreApplication::applicationPid()) +
                                        '\n' + ownName + '\n'))
                << left.constData();
        else
            EXPECT_EQ(lock.holderProcessId(), holder);
        QFile::remove(lockFile());
    }
}

TEST_F(DataFolderLockTest, UnreadableLockFileIsTakenOverUnlessItsOwnerIsShownAlive)
{
    const QByteArray ownStart = QByteArray::number(QCoreApplication::applicationPid()) + '\n';
    struct Case
    {
        const char* name;
        QByteArray content;
        int ageSeconds;
        Outcome outcome;
    };
    const Case cases[] = {
        {"empty, left by a kill", QByteArray(), 3600, Outcome::Locked},
        {"garbage", QByteArray("\xff\xfe garbage\nmore"), 3600, Outcome::Locked},
        {"NUL bytes after a power loss", QByteArray(64, '\0'), 86400, Outcome::Locked},
        {"only a process id line", QByteArray("12"), 3600, Outcome::Locked},
        // Its owner has created it and is about to write it.
        {"empty and just created", QByteArray(), 0, Outcome::HeldByOther},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::writeFile(lockFile(), c.content);
        test::setModified(lockFile(), QDateTime::currentDateTime().addSecs(-c.ageSeconds));

        DataFolderLock lock(folder());
        EXPECT_EQ(lock.tryLock(), c.outcome);
        if (c.outcome == Outcome::Locked)
            EXPECT_TRUE(test::readFile(lockFile()).startsWith(ownStart));
        else
            EXPECT_EQ(test::readFile(lockFile()), c.content);
        EXPECT_FALSE(QFileInfo::exists(lockFile() + s(".rmlock")));
        QFile::remove(lockFile());
    }
}

TEST_F(DataFolderLockTest, LiveOwnerKeepsItsLockEvenWhenItsTextIsDamaged)
{
    DataFolderLock first(folder());
    ASSERT_EQ(first.tryLock(), Outcome::Locked);
    // The text is gone, but the owner still holds the file.
    {
        QFile file(lockFile());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            GTEST_SKIP() << "the system keeps a held lock file from being written";
    }
    test::setModified(lockFile(), QDateTime::currentDateTime().addDays(-1));

    DataFolderLock second(folder());
    EXPECT_EQ(second.tryLock(), Outcome::HeldByOther);
    EXPECT_TRUE(QFileInfo::exists(lockFile()));
}

TEST_F(DataFolderLockTest, FolderThatCannotTakeTheLockFileIsUnavailable)
{
    // A folder that does not exist takes no file, even for root.
    DataFolderLock lock(folder() + s("no/such/folder/"));
    EXPECT_EQ(lock.tryLock(), Outcome::Unavailable);
}

} // namespace
} // namespace tessaro
