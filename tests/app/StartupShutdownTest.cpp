#include "AppHarness.h"
#include "ArchiverNames.h"
#include "QtPrinters.h"
#include "core/MemIniFile.h"
#include "core/Quoted.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using test::AppHarness;

QString s(const char* text)
{
    return QString::fromUtf8(text);
}

const LocalDateTime now = LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9);

class Startup : public ::testing::Test
{
protected:
    StartupShutdown& startup() { return app.logic.startup(); }

    // Writes the configuration file the next load reads.
    void configure(const QByteArray& ini)
    {
        test::writeFile(app.logic.configFile().fileName(), ini);
    }

    // The error log a pass tells the archiver to write to when the settings
    // name no folder for it.
    QString defaultErrorLogOfAPass()
    {
        app.addRule(s("docs"));
        const test::ScriptedArchiverRunner& archiver = app.scriptArchiver();
        EXPECT_TRUE(app.runPass());
        if (archiver.calls.isEmpty())
            return s("<the archiver did not run>");
        const QStringList logSwitch = archiver.calls.first().arguments().filter(s("-ILOG"));
        return logSwitch.size() == 1 ? logSwitch.first().mid(5) : logSwitch.join(u' ');
    }

    AppHarness app{now};
};

TEST_F(Startup, WritableProgramFolderHoldsTheData)
{
    const QString perUser = test::withSlash(app.root.filePath(s("peruser/Tessaro")));
    const QString program = test::withSlash(app.root.filePath(s("program")));
    QDir().mkpath(program);
    test::writeFile(program + s("_.tmp"), "stale");

    startup().FormCreate({program, perUser});

    EXPECT_EQ(app.logic.configFile().fileName(), program + s("tessaro.ini"));
    EXPECT_EQ(app.logic.log().logFolder(), program + s("log") + QDir::separator());
    EXPECT_TRUE(QFileInfo(program + s("log")).isDir());
    EXPECT_FALSE(QFile::exists(program + s("_.tmp"))) << "the probe removes a stale file";
    EXPECT_FALSE(QFile::exists(perUser));
    EXPECT_EQ(defaultErrorLogOfAPass(), program + s("winrar_errors.log"));
}

TEST_F(Startup, ProgramFolderWithoutWriteAccessFallsBackToThePerUserFolder)
{
    // A folder that cannot take a file, even for root: it does not exist.
    const QString program = test::withSlash(app.root.filePath(s("no/such/folder")));
    const QString perUser = test::withSlash(app.root.filePath(s("peruser/Tessaro")));

    startup().FormCreate({program, perUser});

    EXPECT_EQ(app.logic.configFile().fileName(), perUser + s("tessaro.ini"));
    EXPECT_TRUE(QFileInfo(perUser + s("log")).isDir());
    EXPECT_FALSE(QFile::exists(program));
    EXPECT_EQ(defaultErrorLogOfAPass(), perUser + s("winrar_errors.log"));
}

TEST_F(Startup, CreationWritesTheBannerAndSetsTheCaption)
{
    EXPECT_EQ(app.view.title, s("Tessaro v1.60327"));
    EXPECT_EQ(app.loggedLines(), QStringList{s("[I] Tessaro version 1.60327")});
    EXPECT_EQ(app.view.pagesShown, QList<Page>{Page::Backup});
    EXPECT_FALSE(app.logic.startup().isInitialized());
}

TEST_F(Startup, SecondProgramOnTheSameDataFolderEndsWithoutTouchingIt)
{
    configure("[settings]\r\nBackupOnStart=1\r\n");
    const QByteArray configBefore = test::readFile(app.logic.configFile().fileName());
    test::FakeMainView secondView;
    MainWindowLogic second(secondView, {&app.clock, &app.services, {}, nativePathStyle(), {}});

    second.startup().FormCreate({app.dataFolder, QString()});
    second.startup().FormShow();
    second.startup().StartUpTimerTimer();
    EXPECT_TRUE(second.startup().ActionExit());

    EXPECT_TRUE(startup().OwnsDataFolder());
    EXPECT_FALSE(second.startup().OwnsDataFolder());
    EXPECT_EQ(second.startup().DataFolderInUseText(),
              s("Tessaro is already running on the data folder ") + Quoted(app.dataFolder) +
                  s(" (process ") + QString::number(QCoreApplication::applicationPid()) +
                  s("). This copy ends without a backup and without saving."));
    EXPECT_EQ(secondView.quitCalls, 1);
    EXPECT_EQ(secondView.startUpTimerArms, 0);
    EXPECT_FALSE(second.startup().isInitialized());
    EXPECT_TRUE(secondView.messages.isEmpty());
    EXPECT_EQ(test::readFile(app.logic.configFile().fileName()), configBefore);
    EXPECT_EQ(app.loggedLines(), QStringList{s("[I] Tessaro version 1.60327")});
}

TEST_F(Startup, DataFolderIsTakenAgainWhenChosenAgain)
{
    startup().FormCreate({app.dataFolder, QString()});

    EXPECT_TRUE(startup().OwnsDataFolder());
    test::FakeMainView secondView;
    MainWindowLogic second(secondView, {&app.clock, &app.services, {}, nativePathStyle(), {}});
    second.startup().FormCreate({app.dataFolder, QString()});
    EXPECT_FALSE(second.startup().OwnsDataFolder());
}

TEST_F(Startup, FirstShowLoadsOnceAndNamesTheLastBackup)
{
    configure("[settings]\r\nLastBackupTime=" + now.addHours(-3).toIso8601().toUtf8() + "\r\n");

    startup().FormShow();
    startup().FormShow();

    EXPECT_TRUE(app.logic.startup().isInitialized());
    EXPECT_EQ(app.loggedLines(), (QStringList{s("[I] Tessaro version 1.60327"),
                                              s("[I] last backup was done at 27.03.2026 11:05")}));
    EXPECT_EQ(app.view.startUpTimerArms, 1);
}

TEST_F(Startup, NoLastBackupLineWhenThereNeverWasOne)
{
    startup().FormShow();
    EXPECT_EQ(app.loggedLines(), QStringList{s("[I] Tessaro version 1.60327")});
}

TEST_F(Startup, FailedLoadEndsTheProgramWithoutSaving)
{
    // A folder where the file should be cannot be read as a file.
    QDir().mkpath(app.logic.configFile().fileName());

    startup().FormShow();

    EXPECT_EQ(app.view.quitCalls, 1);
    EXPECT_EQ(app.view.startUpTimerArms, 0);
    ASSERT_EQ(app.view.messages.size(), 2);
    EXPECT_TRUE(app.view.messages[0].text.startsWith(s("Could not load configuration file (")));
    EXPECT_EQ(app.view.messages[1].caption, s("Error"));
    EXPECT_TRUE(app.loggedLines().last().startsWith(s("[F] ")));
    EXPECT_TRUE(QFileInfo(app.logic.configFile().fileName()).isDir());
}

TEST_F(Startup, ResumingPeriodicRunsTakesPrecedenceOverBackupOnStart)
{
    app.addRule(s("a"));
    app.logic.periodic().setResumesAtStart(true);
    app.logic.changeSettings([&](TSettings& edited) { edited.BackupOnStart = true; }, false);

    startup().StartUpTimerTimer();
    ASSERT_TRUE(app.waitForPass());

    EXPECT_TRUE(app.logic.periodic().isActive());
    EXPECT_FALSE(app.loggedLines().contains(s("[I] action: backup once (now)")));
    EXPECT_EQ(app.view.minimizeCalls, 0);
}

TEST_F(Startup, BackupOnStartThenMinimizesWhateverTheOutcome)
{
    app.logic.changeSettings([&](TSettings& edited) { edited.BackupOnStart = true; }, false);
    startup().StartUpTimerTimer();
    ASSERT_TRUE(app.waitForPass());
    // No rules: the pass refuses, and the window is minimized all the same.
    EXPECT_TRUE(app.loggedLines().contains(s("[W] No backup rules present. Aborting.")));
    EXPECT_EQ(app.view.minimizeCalls, 1);
}

TEST_F(Startup, ArchiverFoundBySearchIsTakenAndStartUpGoesOn)
{
    app.logic.changeSettings([&](TSettings& edited) { edited.WinRARLocation.clear(); }, false);
    app.logic.changeSettings([&](TSettings& edited) { edited.BackupOnStart = true; }, false);
    app.foundArchiver = s(TESSARO_FAKE_ARCHIVER);

    startup().StartUpTimerTimer();
    ASSERT_TRUE(app.waitForPass());

    EXPECT_EQ(app.logic.settings().settings().WinRARLocation, s(TESSARO_FAKE_ARCHIVER));
    ASSERT_FALSE(app.view.messages.isEmpty());
    EXPECT_EQ(app.view.messages.first().text, s("Found ") + test::windowArchiverName() +
                                                  s(" installation on this computer in \"") +
                                                  s(TESSARO_FAKE_ARCHIVER) + s("\""));
    EXPECT_EQ(app.view.messages.first().caption, s("Start"));
    EXPECT_TRUE(app.loggedLines().contains(s("[I] action: backup once (now)")));
}

struct NotFoundCase
{
    const char* name;
    QList<MessageAnswer> answers;
    QString chosenFile;
    QString expectedLocation;
    bool quits;
    bool opensDownloadPage;
};

TEST(StartupWithoutArchiver, EveryAnswerEndsTheStartUpStep)
{
    const QString old = s("/opt/gone/rar");
    const NotFoundCase cases[] = {
        {"installed, picks a file",
         {MessageAnswer::Yes},
         s("/usr/bin/rar"),
         s("/usr/bin/rar"),
         false,
         false},
        {"installed, cancels the dialog", {MessageAnswer::Yes}, QString(), old, false, false},
        {"not installed, download",
         {MessageAnswer::No, MessageAnswer::Yes},
         QString(),
         old,
         true,
         true},
        {"not installed, no download",
         {MessageAnswer::No, MessageAnswer::No},
         QString(),
         old,
         false,
         false},
    };
    for (const auto& c : cases) {
        AppHarness app(now);
        app.addRule(s("a"));
        app.logic.changeSettings([&](TSettings& edited) { edited.WinRARLocation = old; }, false);
        app.logic.changeSettings([&](TSettings& edited) { edited.BackupOnStart = true; }, false);
        app.view.answers = c.answers;
        app.view.chosenArchiverFile = c.chosenFile;

        app.logic.startup().StartUpTimerTimer();
        ASSERT_TRUE(app.waitForPass());

        const QStringList lines = app.loggedLines();
        EXPECT_TRUE(lines.contains(s("[W] Could not find ") + test::windowArchiverName() +
                                   s(" on this computer")))
            << c.name;
        EXPECT_EQ(app.view.messages.first().text,
                  s("Could not find ") + test::windowArchiverName() +
                      s(" installation on this computer. Did you install ") +
                      test::windowArchiverName() + s(" on this computer?"))
            << c.name;
        EXPECT_EQ(app.view.messages.first().caption, s("Start")) << c.name;
        EXPECT_EQ(app.logic.settings().settings().WinRARLocation, c.expectedLocation) << c.name;
        EXPECT_EQ(app.view.quitCalls, c.quits ? 1 : 0) << c.name;
        EXPECT_EQ(app.view.opened.contains(StartupShutdown::ArchiverDownloadPage()),
                  c.opensDownloadPage)
            << c.name;
        EXPECT_EQ(app.view.pagesShown.contains(Page::Archiver), !c.quits) << c.name;
        EXPECT_FALSE(lines.contains(s("[I] action: backup once (now)"))) << c.name;
        EXPECT_EQ(app.view.minimizeCalls, 0) << c.name;
        EXPECT_FALSE(QFile::exists(app.logic.configFile().fileName()))
            << c.name << ": nothing saved";
    }
}

// Where nothing can open a web page, the program does not end without a
// word: it says where to download the archiver.
TEST(StartupWithoutArchiver, DownloadWithoutABrowserSaysWhereToGo)
{
    for (const bool opens : {true, false}) {
        AppHarness app(now);
        app.addRule(s("a"));
        app.logic.changeSettings([&](TSettings& edited) { edited.WinRARLocation = s("/gone"); },
                                 false);
        app.view.answers = {MessageAnswer::No, MessageAnswer::Yes};
        app.view.openResult = opens;

        app.logic.startup().StartUpTimerTimer();

        EXPECT_EQ(app.view.quitCalls, 1) << opens;
        ASSERT_EQ(app.view.messages.size(), opens ? 2 : 3) << opens;
        if (opens)
            continue;
        EXPECT_EQ(app.view.messages.last().text,
                  s("No program could open the download page. Please download ") +
                      test::windowArchiverName() + s(" from this address:\n") +
                      StartupShutdown::ArchiverDownloadPage());
        EXPECT_EQ(app.view.messages.last().caption, s("Start"));
    }
}

TEST_F(Startup, ExitIsRefusedWhileAPassRunsAndSavesOtherwise)
{
    app.addRule(s("a"));
    bool exitedDuringPass = true;
    const auto scoped = app.whileArchiverRuns([&] { exitedDuringPass = startup().ActionExit(); });
    app.logic.pass().BackUpOnceNow();
    ASSERT_TRUE(app.waitForPass());

    EXPECT_FALSE(exitedDuringPass);
    EXPECT_EQ(app.view.messageTexts(),
              QStringList{s("You cannot exit the program right now because there is a backup "
                            "process running")});
    EXPECT_EQ(app.view.messages.first().caption, s("Exit"));
    EXPECT_EQ(app.view.quitCalls, 0);

    app.logic.changeSettings(
        [&](TSettings& edited) { edited.WebHookURL = s("http://127.0.0.1:9/saved-on-exit"); },
        false);
    EXPECT_TRUE(startup().ActionExit());
    EXPECT_EQ(app.view.quitCalls, 1);
    TMemIniFile saved(app.logic.configFile().fileName());
    ASSERT_TRUE(saved.load());
    EXPECT_EQ(saved.ReadString(s("settings"), s("WebHookURL"), QString()),
              s("http://127.0.0.1:9/saved-on-exit"));
    EXPECT_EQ(app.logic.settings().rules().Count(), 0);
}

TEST_F(Startup, ExitAfterAFailedSaveAsksFirst)
{
    // The configuration's folder is a file: the save cannot succeed.
    test::writeFile(app.root.filePath(s("blocker")), "");
    app.logic.configFile().setFileName(app.root.filePath(s("blocker/tessaro.ini")));
    app.view.answers = {MessageAnswer::No};
    EXPECT_FALSE(startup().ActionExit());
    EXPECT_EQ(app.view.quitCalls, 0);
    EXPECT_TRUE(app.loggedLines().last().startsWith(s("[E] could not save configuration file")));

    app.view.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(startup().ActionExit());
    EXPECT_EQ(app.view.quitCalls, 1);
}

} // namespace
} // namespace tessaro
