#include "AppHarness.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "core/ArchiverExitCodes.h"

#include <QFile>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using test::AppHarness;
using test::ScriptedArchiverRunner;

QString s(const char* text)
{
    return QString::fromUtf8(text);
}

QString q(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

const LocalDateTime passStart = LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9);

const Control stopControls[] = {Control::ButtonStopBackup, Control::MenuStopBackup,
                                Control::TrayMenuStopBackup};

// Two rules with auto clean and a webhook; the scripted archiver runs until
// the test ends it, so that the test acts at every step of the pass.
class StopBackup : public ::testing::Test
{
protected:
    StopBackup()
    {
        for (const char* name : {"a", "b"}) {
            TBackupRule* rule = app.addRule(s(name));
            rule->AutoCleanMode = acmNumFiles;
            rule->NumFiles = 3;
        }
        app.logic.changeSettings(
            [](TSettings& edited) {
                edited.CallWebHook = true;
                edited.WebHookURL = s("http://127.0.0.1:9/hook");
            },
            false);
        archiver.ending = ScriptedArchiverRunner::Ending::WhenTold;
        archiver.archive = QByteArray("partial");
    }

    QString archiveOf(const char* name) const
    {
        return test::withSlash(app.root.filePath(s("dest"))) + s(name) + s("_260327_140509.rar");
    }
    QString sourceOf(const char* name) const
    {
        return test::withSlash(app.root.filePath(s("src/") + s(name)));
    }

    // The user clicks "Stop backup" and answers Yes.
    void stopByTheUser()
    {
        app.view.answers = {MessageAnswer::Yes};
        pass().StopBackupClick();
    }

    // The lines from the stop to the pass's end.
    QStringList linesFromTheStop() const
    {
        const QStringList lines = app.loggedLines();
        const qsizetype stop = lines.indexOf(s("[W] backup: stopped by the user"));
        return stop < 0 ? lines : lines.mid(stop);
    }

    // What every stopped pass leaves: no auto clean, the webhook told of an
    // error, a stopped pass in the run history, idle controls.
    void expectStoppedPassEnded(qsizetype rulesRecorded)
    {
        EXPECT_FALSE(pass().isRunning());
        EXPECT_TRUE(app.services.autoCleanCalls.isEmpty());
        ASSERT_EQ(app.services.webHookCalls.size(), 1);
        EXPECT_EQ(app.services.webHookCalls.first().status, s("ERROR"));
        const QList<PassRecord> history = app.logic.history().lastPasses();
        ASSERT_EQ(history.size(), 1);
        EXPECT_TRUE(history.first().stopped);
        EXPECT_EQ(history.first().rules.size(), rulesRecorded);
        EXPECT_EQ(pass().lastErrors(), 1);
        for (Control control : stopControls)
            EXPECT_FALSE(app.view.isEnabled(control)) << int(control);
    }

    BackupPass& pass() { return app.logic.pass(); }

    AppHarness app{passStart};
    ScriptedArchiverRunner& archiver = app.scriptArchiver();
};

TEST_F(StopBackup, DuringAJobEndsTheArchiverRemovesItsArchiveAndSkipsTheRest)
{
    ASSERT_TRUE(pass().RunBackup());
    ASSERT_TRUE(archiver.running());
    for (Control control : stopControls)
        EXPECT_TRUE(app.view.isEnabled(control)) << int(control);

    stopByTheUser();

    ASSERT_EQ(app.view.messages.size(), 1);
    EXPECT_EQ(app.view.messages.first().text, s("Do you want to stop the running backup?"));
    EXPECT_EQ(app.view.messages.first().caption, s("Stop backup"));
    EXPECT_EQ(app.view.messages.first().buttons, MessageButtons::YesNo);
    EXPECT_EQ(archiver.stopCalls, 1);
    ASSERT_TRUE(app.waitForPass());

    EXPECT_EQ(archiver.calls.size(), 1) << "the second rule never starts";
    EXPECT_FALSE(QFile::exists(archiveOf("a")));
    EXPECT_EQ(linesFromTheStop(),
              (QStringList{
                  s("[W] backup: stopped by the user"),
                  s("[I] backup: removed the incomplete archive ") + q(archiveOf("a")),
                  s("[I] time taken for ") + q(sourceOf("a")) + s(": 00:00:00"),
                  s("[I] total time taken: 00:00:00"),
                  s("[I] backup: finished (with errors)"),
                  s("[I] Calling notification URL"),
                  s("[I] Notification URL called"),
              }));
    expectStoppedPassEnded(1);
    EXPECT_EQ(app.logic.history().lastPasses().first().rules.first().result, ResultStopped);
}

TEST_F(StopBackup, BetweenJobsStartsNoFurtherRuleAndKeepsTheArchivesMade)
{
    ASSERT_TRUE(pass().RunBackup());
    archiver.finish();
    // The first job is over; the second starts from the event loop.
    ASSERT_FALSE(archiver.running());

    stopByTheUser();
    ASSERT_TRUE(app.waitForPass());

    EXPECT_EQ(archiver.stopCalls, 0) << "no archiver ran to end";
    EXPECT_EQ(archiver.calls.size(), 1);
    EXPECT_TRUE(QFile::exists(archiveOf("a")));
    EXPECT_EQ(linesFromTheStop(), (QStringList{
                                      s("[W] backup: stopped by the user"),
                                      s("[I] backupfile 1 of 1: ") + q(archiveOf("a")),
                                      s("[I] total time taken: 00:00:00"),
                                      s("[I] backup: finished (with errors)"),
                                      s("[I] Calling notification URL"),
                                      s("[I] Notification URL called"),
                                  }));
    expectStoppedPassEnded(1);
    EXPECT_EQ(app.logic.history().lastPasses().first().rules.first().result, 0);
}

TEST_F(StopBackup, DuringTheArchiveTestKeepsTheCompleteArchiveUnlisted)
{
    app.logic.changeSettings([](TSettings& edited) { edited.VerifyArchives = true; }, false);
    ASSERT_TRUE(pass().RunBackup());
    archiver.finish();
    ASSERT_TRUE(archiver.running());
    ASSERT_EQ(archiver.calls.last().command(), s("t"));

    stopByTheUser();
    EXPECT_EQ(archiver.stopCalls, 1);
    ASSERT_TRUE(app.waitForPass());

    EXPECT_TRUE(QFile::exists(archiveOf("a")));
    const QStringList lines = linesFromTheStop();
    EXPECT_EQ(lines.mid(0, 2),
              (QStringList{s("[W] backup: stopped by the user"),
                           s("[I] time taken for ") + q(sourceOf("a")) + s(": 00:00:00")}));
    EXPECT_TRUE(lines.filter(s("archive test")).isEmpty());
    EXPECT_TRUE(lines.filter(s("backupfile")).isEmpty());
    expectStoppedPassEnded(1);
    EXPECT_EQ(app.logic.history().lastPasses().first().rules.first().result, ResultStopped);
}

// An archive that was there before the job (a fixed name, an update) is
// not the stopped job's to delete.
TEST_F(StopBackup, AnArchiveThatExistedBeforeTheJobIsLeftAsTheArchiverLeftIt)
{
    app.logic.settings().rules().Item(0)->DestinationFilename = s("fixed.rar");
    const QString fixed = test::withSlash(app.root.filePath(s("dest"))) + s("fixed.rar");
    test::writeFile(fixed, "older archive");
    ASSERT_TRUE(pass().RunBackup());

    stopByTheUser();
    ASSERT_TRUE(app.waitForPass());

    EXPECT_EQ(test::readFile(fixed), QByteArray("partial"));
    EXPECT_EQ(linesFromTheStop().mid(0, 2),
              (QStringList{s("[W] backup: stopped by the user"),
                           s("[W] backup: ") + q(fixed) +
                               s(" existed before the stopped job and is left as the archiver "
                                 "left it")}));
    expectStoppedPassEnded(1);
}

TEST_F(StopBackup, NoKeepsThePassGoing)
{
    ASSERT_TRUE(pass().RunBackup());
    app.view.answers = {MessageAnswer::No};
    pass().StopBackupClick();
    EXPECT_EQ(archiver.stopCalls, 0);
    archiver.ending = ScriptedArchiverRunner::Ending::FromEventLoop;
    archiver.finish();
    ASSERT_TRUE(app.waitForPass());

    EXPECT_EQ(archiver.calls.size(), 2);
    EXPECT_EQ(app.loggedLines().filter(s("stopped")), QStringList());
    EXPECT_EQ(app.logic.history().lastPasses().first().stopped, false);
    EXPECT_EQ(app.services.autoCleanCalls.size(), 1);
}

TEST_F(StopBackup, NothingToStopWhileIdleOrOnceTheJobsAreOver)
{
    pass().StopBackupClick();
    EXPECT_TRUE(app.view.messages.isEmpty()) << "no question while idle";
    EXPECT_FALSE(pass().Stop(StopReason::User));

    // The webhook call is the last step: the jobs are over by then.
    bool stopTaken = true;
    app.services.webHookOutcome = {true, s("OK")};
    archiver.ending = ScriptedArchiverRunner::Ending::AtOnce;
    app.logic.changeSettings([](TSettings& edited) { edited.WebHookURL.clear(); }, false);
    app.clock.onNow = [&] {
        if (app.loggedLines().contains(s("[I] backup: finished")) && pass().isRunning())
            stopTaken = pass().Stop(StopReason::User);
    };
    ASSERT_TRUE(app.runPass());
    EXPECT_FALSE(stopTaken);
    EXPECT_FALSE(app.logic.history().lastPasses().last().stopped);
}

TEST_F(StopBackup, AStoppedBackupOnceEndsTheProgramWithErrors)
{
    app.logic.changeSettings([](TSettings& edited) { edited.ExitAfterBackupOnce = true; }, false);
    pass().BackUpOnceNow();
    archiver.finish();
    stopByTheUser();
    ASSERT_TRUE(app.waitForPass());

    EXPECT_EQ(app.view.quitCalls, 1);
    EXPECT_EQ(pass().exitStatus(), ExitStatusErrors);
    EXPECT_TRUE(app.loggedLines().contains(s("[I] backup: finished (with errors)")));
}

// Asked to end from outside (a service manager), the program stops the
// pass without a question and ends once it is over.
TEST_F(StopBackup, ProgramEndStopsThePassWithoutAskingThenEnds)
{
    ASSERT_TRUE(pass().RunBackup());

    app.logic.startup().TerminationRequested();

    EXPECT_TRUE(app.view.messages.isEmpty());
    EXPECT_EQ(app.view.quitCalls, 0) << "not before the pass is over";
    ASSERT_TRUE(app.waitForPass());
    EXPECT_EQ(app.view.quitCalls, 1);
    EXPECT_EQ(pass().exitStatus(), ExitStatusErrors);
    const QStringList lines = app.loggedLines();
    EXPECT_TRUE(lines.contains(s("[W] backup: stopped, the program is asked to end")));
    EXPECT_FALSE(QFile::exists(archiveOf("a")));
}

TEST_F(StopBackup, ProgramEndWhileIdleSavesAndEnds)
{
    app.logic.startup().TerminationRequested();
    EXPECT_EQ(app.view.quitCalls, 1);
    EXPECT_EQ(pass().exitStatus(), ExitStatusOk);
    EXPECT_TRUE(QFile::exists(app.logic.configFile().fileName()));
}

// The progress names the rule of how many and how long it has run; the
// schedule tick brings it up to date.
TEST_F(StopBackup, ProgressNamesTheRuleAndItsTime)
{
    EXPECT_EQ(app.view.passProgress, QString());
    ASSERT_TRUE(pass().RunBackup());
    EXPECT_EQ(app.view.passProgress, s("Backup 1 of 2: ") + sourceOf("a") + s(" (0 min)"));

    app.clock.set(passStart.addMilliseconds(150'000));
    app.logic.scheduleTick();
    EXPECT_EQ(app.view.passProgress, s("Backup 1 of 2: ") + sourceOf("a") + s(" (2 min)"));

    archiver.finish();
    ASSERT_TRUE(QTest::qWaitFor([&] { return archiver.calls.size() == 2; }, 30000));
    EXPECT_EQ(app.view.passProgress, s("Backup 2 of 2: ") + sourceOf("b") + s(" (0 min)"));
    app.clock.set(passStart.addMilliseconds(150'000 + 83 * 60'000));
    app.logic.scheduleTick();
    EXPECT_EQ(app.view.passProgress, s("Backup 2 of 2: ") + sourceOf("b") + s(" (1 h 23 min)"));

    archiver.finish();
    ASSERT_TRUE(app.waitForPass());
    EXPECT_EQ(app.view.passProgress, QString());
}

} // namespace
} // namespace tessaro
