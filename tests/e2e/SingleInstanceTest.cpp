#include "EndToEndFixture.h"
#include "FakeArchiverPlan.h"
#include "ProgramRun.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

// One program folder, configured to back up once at start with the fake
// archiver and end; the first program's archiver waits for a go file, so the
// program holds its data folder for as long as the test needs.
class SingleInstance : public ::testing::Test
{
protected:
    SingleInstance()
    {
        const QString source = test::withSlash(run.path(s("source")));
        const QString destination = test::withSlash(run.path(s("backup")));
        test::writeFile(source + s("notes.txt"), "notes");
        QDir().mkpath(destination);
        run.writeConfig((s("[Settings]\r\nWinRARLocation=") + builtProgram(TESSARO_FAKE_ARCHIVER) +
                         s("\r\nBackupOnStart=1\r\nExitAfterBackupOnce=1\r\n"
                           "[backup_rules_0]\r\nSourceFolder=%1\r\nDestinationFolder=%2\r\n"
                           "DestinationFilename=docs_#ymd_hns#\r\n"))
                            .arg(source, destination)
                            .toUtf8());
    }

    // Starts the first program and returns once its archiver runs.
    std::unique_ptr<QProcess> startHeldPass()
    {
        test::FakeArchiverPlan plan;
        plan.archive = QByteArray(2048, 'x');
        plan.recordFile = record;
        plan.waitForFile = go;
        const test::ScopedFakeArchiverPlan scoped(run.path(s("waiting-plan.txt")), plan);
        std::unique_ptr<QProcess> first = run.start();
        EXPECT_TRUE(first && test::waitForFile(record)) << "the first pass did not start";
        return first;
    }

    QString lockFile() const { return run.folder() + s("tessaro.lock"); }

    ProgramRun run;
    const QString record = run.path(s("calls.txt"));
    const QString go = run.path(s("go"));
};

TEST_F(SingleInstance, SecondProgramOnTheSameDataFolderEndsAndTouchesNothing)
{
    const std::unique_ptr<QProcess> first = startHeldPass();
    ASSERT_TRUE(first);
    const QByteArray config = run.config();
    const QStringList lines = run.logLines();
    ASSERT_TRUE(QFile::remove(record));

    test::FakeArchiverPlan plan;
    plan.recordFile = record;
    const test::ScopedFakeArchiverPlan scoped(run.path(s("plan.txt")), plan);
    EXPECT_EQ(run.run(), 3);

    // Standard error is text: Windows ends its lines with CR LF.
    EXPECT_EQ(QString::fromLocal8Bit(run.errorOutput()).replace(s("\r\n"), s("\n")),
              s("Tessaro is already running on the data folder \"") + run.folder() +
                  s("\" (process ") + QString::number(first->processId()) +
                  s("). This copy ends without a backup and without saving.\n"));
    EXPECT_FALSE(QFile::exists(record)) << "the second program ran the archiver";
    EXPECT_EQ(run.config(), config);
    EXPECT_EQ(run.logLines(), lines);

    // The first program goes on undisturbed and frees the folder at its end.
    test::writeFile(go, "");
    ASSERT_TRUE(first->waitForFinished(60000));
    EXPECT_EQ(first->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first->exitCode(), 0);
    EXPECT_EQ(run.logLines().last(), s("[I] backup: finished"));
    EXPECT_FALSE(QFile::exists(lockFile()));
}

TEST_F(SingleInstance, LockLeftByAKilledProgramIsTakenOver)
{
    const std::unique_ptr<QProcess> first = startHeldPass();
    ASSERT_TRUE(first);
    first->kill();
    ASSERT_TRUE(first->waitForFinished(60000));
    ASSERT_TRUE(QFile::exists(lockFile()));
    // Lets the killed program's archiver end.
    test::writeFile(go, "");

    test::FakeArchiverPlan plan;
    plan.archive = QByteArray(2048, 'x');
    const test::ScopedFakeArchiverPlan scoped(run.path(s("plan.txt")), plan);
    EXPECT_EQ(run.run(), 0);

    EXPECT_TRUE(run.errorOutput().isEmpty()) << run.errorOutput().constData();
    const QStringList lines = run.logLines();
    EXPECT_EQ(lines.filter(s("[I] Tessaro version ")).size(), 2);
    EXPECT_EQ(lines.last(), s("[I] backup: finished"));
    EXPECT_FALSE(QFile::exists(lockFile()));
}

TEST_F(SingleInstance, UnreadableLockLeftBehindIsTakenOver)
{
    // What a kill just after the lock file appeared, or a power loss, leaves.
    for (const QByteArray& left : {QByteArray(), QByteArray(32, '\0'), QByteArray("x\x01\xff")}) {
        SCOPED_TRACE(left.toHex().constData());
        test::writeFile(lockFile(), left);
        test::setModified(lockFile(), QDateTime::currentDateTime().addSecs(-3600));

        test::FakeArchiverPlan plan;
        plan.archive = QByteArray(2048, 'x');
        const test::ScopedFakeArchiverPlan scoped(run.path(s("plan.txt")), plan);
        EXPECT_EQ(run.run(), 0);
        EXPECT_TRUE(run.errorOutput().isEmpty()) << run.errorOutput().constData();
        EXPECT_EQ(run.logLines().last(), s("[I] backup: finished"));
        EXPECT_FALSE(QFile::exists(lockFile()));
    }
}

} // namespace
} // namespace tessaro
