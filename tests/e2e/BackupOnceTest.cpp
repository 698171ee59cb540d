// "tessaro --backup-once" through the real program: one pass with no window,
// every question answered without asking, the log lines on standard output
// and the outcome in the exit status.

#include "EndToEndFixture.h"
#include "FakeArchiverPlan.h"
#include "FullFileSystem.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcessEnvironment>
#include <QSysInfo>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

const QStringList backupOnce{s("--backup-once")};

class BackupOnce : public EndToEnd
{
protected:
    // A configuration without "BackupOnStart" or "ExitAfterBackupOnce": the
    // option alone makes the pass and the end.
    void configureUnattended(const QString& archiver, bool withRule = true)
    {
        QString text =
            s("[Settings]\r\nWinRARLocation=") + archiver + s("\r\nStorePaths=Relative paths\r\n");
        if (withRule)
            text += s("\r\n[backup_rules_0]\r\nSourceFolder=") + source +
                    s("\r\nDestinationFolder=") + destination +
                    s("\r\nDestinationFilename=docs\r\nIncludeSubFolders=1\r\n");
        run.writeConfig(text.toUtf8());
    }

    // An environment where no archiver can be found but the one given, when
    // one is, under the name the search looks for.
    QProcessEnvironment searchFinding(const QString& archiver = QString())
    {
        const QString bin = run.path(s("bin"));
        QDir().mkpath(bin);
        if (!archiver.isEmpty()) {
            EXPECT_TRUE(QFile::link(archiver, bin + s("/rar")));
        }
        QProcessEnvironment environment;
        environment.insert(s("PATH"), bin);
        environment.insert(s("HOME"), run.path(s("home")));
        return environment;
    }

    // Standard output as lines without their timestamps; Windows ends its
    // text lines with CR LF.
    QStringList printedLines() const
    {
        QStringList lines;
        const QString text =
            QString::fromLocal8Bit(run.standardOutput()).replace(s("\r\n"), s("\n"));
        for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            lines.append(line.mid(20));
        return lines;
    }

    static bool isWindows() { return QSysInfo::kernelType() == s("winnt"); }
};

TEST_F(BackupOnce, PassWithoutErrorsPrintsItsLinesAndEndsWithZero)
{
    configureUnattended(builtProgram(TESSARO_E2E_ARCHIVER));

    ASSERT_EQ(run.run({}, backupOnce), 0) << run.errorOutput().constData();

    const QString archive = destination + s("docs.rar");
    EXPECT_TRUE(QFile::exists(archive));
    const QStringList lines = run.logLines();
    ASSERT_EQ(lines.size(), 7) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(lines.mid(0, 3),
              (QStringList{s("[I] Tessaro version 1.60327"), s("[I] backup: start"),
                           s("[I] backup: creating ") + archive + s(" from source ") + q(source)}));
    EXPECT_TRUE(lines[3].startsWith(s("[I] backup: completed, archive size: ")));
    EXPECT_EQ(withDurationShown(lines[4]), s("[I] time taken for ") + q(source) + s(": hh:mm:ss"));
    EXPECT_EQ(lines[5], s("[I] backupfile 1 of 1: ") + q(archive));
    EXPECT_EQ(lines[6], s("[I] backup: finished"));
    // Letter for letter what the log file got, timestamps included.
    EXPECT_EQ(QString::fromLocal8Bit(run.standardOutput()).replace(s("\r\n"), s("\n")),
              run.rawLogLines().join(QLatin1Char('\n')) + QLatin1Char('\n'));
    EXPECT_EQ(run.errorOutput(), "");
    EXPECT_TRUE(QString::fromUtf8(run.config()).contains(s("\r\nLastBackupTime=2")));
}

TEST_F(BackupOnce, FailedRuleEndsWithOne)
{
    // The fake archiver without a plan makes no archive: the rule fails.
    configureUnattended(builtProgram(TESSARO_FAKE_ARCHIVER));

    ASSERT_EQ(run.run({}, backupOnce), 1) << run.errorOutput().constData();

    EXPECT_EQ(printedLines(), run.logLines());
    EXPECT_EQ(printedLines().last(), s("[I] backup: finished (with errors)"));
}

TEST_F(BackupOnce, QuestionsGetTheirSafeAnswerAndALine)
{
    if (isWindows())
        GTEST_SKIP() << "the archiver search of Windows reads the registry";
    // The location is empty: the search finds the archiver, and the box that
    // would tell so becomes a line.
    test::FakeArchiverPlan plan;
    plan.archive = QByteArray(2048, 'x');
    const test::ScopedFakeArchiverPlan scoped(run.path(s("plan.txt")), plan);
    configureUnattended(QString());
    const QProcessEnvironment found = searchFinding(builtProgram(TESSARO_FAKE_ARCHIVER));

    ASSERT_EQ(run.run(found, backupOnce), 0) << run.errorOutput().constData();

    const QString location = run.path(s("bin")) + s("/rar");
    const QStringList lines = printedLines();
    ASSERT_GE(lines.size(), 3) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(lines[1], s("[W] unattended: Start: Found RAR installation on this computer in ") +
                            q(location) + s(" (answered OK without asking)"));
    EXPECT_EQ(lines.last(), s("[I] backup: finished"));
    EXPECT_TRUE(QString::fromUtf8(run.config()).contains(s("\r\nWinRARLocation=") + location));
}

struct NoPassCase
{
    const char* name;
    const char* lastLine;
};

TEST_F(BackupOnce, NoPassCouldStartEndsWithTwo)
{
    if (isWindows())
        GTEST_SKIP() << "the archiver search of Windows reads the registry";
    {
        SCOPED_TRACE("no rules");
        configureUnattended(builtProgram(TESSARO_E2E_ARCHIVER), false);
        EXPECT_EQ(run.run({}, backupOnce), 2);
        EXPECT_EQ(printedLines(), (QStringList{s("[I] Tessaro version 1.60327"),
                                               s("[W] No backup rules present. Aborting.")}));
    }
    {
        SCOPED_TRACE("no archiver");
        QDir(run.folder() + s("log")).removeRecursively();
        configureUnattended(QString());
        EXPECT_EQ(run.run(searchFinding(), backupOnce), 2);
        EXPECT_EQ(
            printedLines(),
            (QStringList{
                s("[I] Tessaro version 1.60327"), s("[W] Could not find RAR on this computer"),
                s("[W] unattended: Start: Could not find RAR installation on this computer. "
                  "Did you install RAR on this computer? (answered No without asking)"),
                s("[W] unattended: Start: Do you want to download RAR now? (answered No "
                  "without asking)")}));
        EXPECT_TRUE(QDir(destination).isEmpty());
    }
    {
        SCOPED_TRACE("configuration unreadable");
        QDir(run.folder() + s("log")).removeRecursively();
        QFile::remove(run.folder() + s("tessaro.ini"));
        ASSERT_TRUE(QDir().mkpath(run.folder() + s("tessaro.ini")));
        EXPECT_EQ(run.run({}, backupOnce), 2);
        const QStringList lines = printedLines();
        ASSERT_EQ(lines.size(), 4) << lines.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(
            lines[1].startsWith(s("[W] unattended: Error: Could not load configuration file (")));
        EXPECT_EQ(lines[2], s("[F] Could not load configuration file ") +
                                q(run.folder() + s("tessaro.ini")) + s(". The program ends."));
    }
}

TEST_F(BackupOnce, AnotherCopyOnTheDataFolderEndsWithThree)
{
    configureUnattended(builtProgram(TESSARO_E2E_ARCHIVER));
    // This test program holds the folder as a running Tessaro would.
    QLockFile held(run.folder() + s("tessaro.lock"));
    ASSERT_TRUE(held.tryLock(0));

    EXPECT_EQ(run.run({}, backupOnce), 3);

    EXPECT_EQ(QString::fromLocal8Bit(run.errorOutput()).replace(s("\r\n"), s("\n")),
              s("Tessaro is already running on the data folder \"") + run.folder() +
                  s("\" (process ") + QString::number(QCoreApplication::applicationPid()) +
                  s("). This copy ends without a backup and without saving.\n"));
    EXPECT_EQ(run.standardOutput(), "");
    EXPECT_FALSE(QFile::exists(destination + s("docs.rar")));
    EXPECT_TRUE(run.logLines().isEmpty());
}

// With the log on the full disk too, standard error and the exit status are
// all that is left to tell of the failed saves.
TEST(BackupOnceFullDisk, FailedSaveReachesStandardErrorAndTheExitStatus)
{
    const qint64 programSize = QFileInfo(s(TESSARO_PROGRAM)).size();
    test::FullFileSystem disk(programSize + 1024 * 1024);
    if (!disk.skipReason().isEmpty())
        GTEST_SKIP() << disk.skipReason().toStdString();
    ProgramRun run(disk.filePath(s("program")));
    const QString source = test::withSlash(run.path(s("source")));
    const QString destination = test::withSlash(run.path(s("backup")));
    test::writeFile(source + s("notes.txt"), "notes");
    QDir().mkpath(destination);
    QByteArray ini = "[Settings]\r\nWinRARLocation=" + builtProgram(TESSARO_E2E_ARCHIVER).toUtf8() +
                     "\r\n\r\n[backup_rules_0]\r\nSourceFolder=" + source.toUtf8() +
                     "\r\nDestinationFolder=" + destination.toUtf8() +
                     "\r\nDestinationFilename=docs\r\n\r\n[notes]\r\n";
    for (int i = 0; ini.size() < 7000; ++i)
        ini += "Note" + QByteArray::number(i) + "=kept by every save of the program\r\n";
    run.writeConfig(ini);
    QDir().mkpath(run.folder() + s("log"));
    ASSERT_TRUE(disk.fill());

    ASSERT_EQ(run.run({}, backupOnce), 1);

    EXPECT_EQ(run.config(), ini);
    EXPECT_EQ(QDir(destination).entryList(QDir::Files), QStringList{s("docs.rar")});
    const FullDiskSaveTexts texts(run.folder() + s("tessaro.ini"));
    EXPECT_EQ(QString::fromLocal8Bit(run.errorOutput()).replace(s("\r\n"), s("\n")),
              texts.errorOutput());
    // Standard output still has every line the log file could not take.
    const QString printed = QString::fromLocal8Bit(run.standardOutput());
    EXPECT_TRUE(printed.contains(s("[E] ") + texts.notSaved)) << printed.toStdString();
    EXPECT_TRUE(printed.contains(s("[I] backup: finished")));
}

// A pipe where the program keeps a file of its own never holds it: it is
// refused at once like a file that cannot be opened.
TEST_F(BackupOnce, PipesInPlaceOfItsFilesNeverBlock)
{
    const QString month = QDate::currentDate().toString(u"yyMM");
    struct Case
    {
        const char* name;
        QString file;
        int exitStatus;
    };
    const Case cases[] = {
        {"history", s("history.jsonl"), 0},
        {"month's log file", s("log/") + month + s("_tessaro.log"), 0},
        {"configuration file", s("tessaro.ini"), 2},
        {"lock file", s("tessaro.lock"), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(run.folder() + s("log")).removeRecursively();
        QFile::remove(run.folder() + s("history.jsonl"));
        QFile::remove(destination + s("docs.rar"));
        configureUnattended(builtProgram(TESSARO_E2E_ARCHIVER));
        const QString pipe = run.folder() + c.file;
        QFile::remove(pipe);
        if (!test::makePipe(pipe)) {
            GTEST_SKIP() << "no named pipes among files here";
        }

        EXPECT_EQ(run.run({}, backupOnce), c.exitStatus) << run.errorOutput().constData();

        const QStringList lines = printedLines();
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_TRUE(QFileInfo(pipe).isFile() == false && QFileInfo::exists(pipe));
        if (c.exitStatus == 0) {
            EXPECT_TRUE(lines.contains(s("[I] backup: finished")))
                << lines.join(QLatin1Char('\n')).toStdString();
        }
        QFile::remove(pipe);
    }
}

} // namespace
} // namespace tessaro
