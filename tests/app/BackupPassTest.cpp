#include "AppHarness.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "core/ArchiverExitCodes.h"
#include "core/ArchiverProcess.h"
#include "core/MemIniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using test::AppHarness;
using test::FakeMainView;
using test::ScriptedArchiverRunner;

QString s(const char* text)
{
    return QString::fromUtf8(text);
}

const LocalDateTime passStart = LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9);

// The whole window logic, with what window creation logged and set left
// out, so that a test sees the pass's doing alone.
class BackupPassTest : public ::testing::Test
{
protected:
    explicit BackupPassTest(PathStyle style = nativePathStyle()) : app(passStart, style)
    {
        QDir(logic.log().logFolder()).removeRecursively();
        QDir().mkpath(logic.log().logFolder());
        view.enabled.clear();
        view.statusTexts.clear();
    }

    TBackupRule* addRule(const QString& name, bool withFile = true)
    {
        return app.addRule(name, withFile);
    }

    QString archiveOf(const QString& name) const
    {
        return destination + name + s("_260327_140509.rar");
    }

    ScriptedArchiverRunner& scriptArchiver() { return app.scriptArchiver(); }
    QStringList loggedLines() const { return app.loggedLines(); }

    AppHarness app;
    MainWindowLogic& logic = app.logic;
    FakeMainView& view = app.view;
    test::SteppingClock& clock = app.clock;
    test::RecordingServices& services = app.services;
    BackupPass& pass = app.logic.pass();
    ActivityLog& log = app.logic.log();
    const QTemporaryDir& root = app.root;
    const QString destination = test::withSlash(app.root.filePath(s("dest")));
};

QString q(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

TEST_F(BackupPassTest, OneRuleLogsEveryStepInOrder)
{
    const TBackupRule* rule = addRule(s("docs"));
    const ScriptedArchiverRunner& archiver = scriptArchiver();

    ASSERT_TRUE(app.runPass());

    ASSERT_EQ(archiver.calls.size(), 1);
    EXPECT_EQ(archiver.calls[0].program, logic.settings().settings().WinRARLocation);
    EXPECT_EQ(archiver.calls[0].command(), s("a"));
    EXPECT_EQ(archiver.calls[0].archive(), archiveOf(s("docs")));
    EXPECT_EQ(archiver.calls[0].workingFolder, GetArchiverWorkingFolder());
    EXPECT_EQ(loggedLines(), (QStringList{
                                 s("[I] backup: start"),
                                 s("[I] backup: creating ") + archiveOf(s("docs")) +
                                     s(" from source ") + q(rule->SourceFolder),
                                 s("[I] backup: completed, archive size: 2.00 kB"),
                                 s("[I] time taken for ") + q(rule->SourceFolder) + s(": 00:00:00"),
                                 s("[I] backupfile 1 of 1: ") + q(archiveOf(s("docs"))),
                                 s("[I] backup: finished"),
                             }));
    EXPECT_EQ(view.statusTexts,
              (QStringList{s("backup process started"), s("backing up ") + rule->SourceFolder,
                           s("cleaning up"), QString()}));
    EXPECT_FALSE(logic.pass().isRunning());
    EXPECT_TRUE(logic.log().capture().isEmpty());
    EXPECT_TRUE(view.isEnabled(Control::SchedulePagePanel));
}

TEST_F(BackupPassTest, SeveralRulesNumberTheArchivesMadeAndTotalTheTime)
{
    const TBackupRule* first = addRule(s("a"));
    const TBackupRule* empty = addRule(s("b"), false);
    const TBackupRule* third = addRule(s("c"));
    const ScriptedArchiverRunner& archiver = scriptArchiver();

    ASSERT_TRUE(app.runPass());

    EXPECT_EQ(archiver.calls.size(), 2) << "the empty source is skipped";

    const QStringList lines = loggedLines();
    const QStringList tail = lines.mid(lines.size() - 4);
    EXPECT_EQ(tail, (QStringList{s("[I] backupfile 1 of 2: ") + q(archiveOf(s("a"))),
                                 s("[I] backupfile 2 of 2: ") + q(archiveOf(s("c"))),
                                 s("[I] total time taken: 00:00:00"),
                                 s("[I] backup: finished (with errors)")}));
    EXPECT_TRUE(lines.contains(s("[W] backup: no files or folders found in source ") +
                               q(empty->SourceFolder) + s(". skipping backup.")));
    EXPECT_TRUE(
        lines.contains(s("[I] time taken for ") + q(first->SourceFolder) + s(": 00:00:00")));
    EXPECT_TRUE(
        lines.contains(s("[I] time taken for ") + q(third->SourceFolder) + s(": 00:00:00")));
}

// RAR 7 writes RAR5 whatever was asked: the user hears of it once a pass,
// right after the first archive that shows it.
TEST_F(BackupPassTest, Rar4ChosenButRar5WrittenWarnsOncePerPass)
{
    const TBackupRule* first = addRule(s("a"));
    addRule(s("b"));
    logic.changeSettings([](TSettings& edited) { edited.ArchiveFormat = TArchiveFormat::Rar4; },
                         false);
    const QString warning = s("[W] backup: RAR4 (Compatible) is chosen, but the archiver wrote a "
                              "RAR5 archive: its version decides the format (RAR 7 writes RAR5 "
                              "only)");
    const struct
    {
        QByteArray written;
        int warnings;
    } cases[] = {
        {QByteArray("Rar!\x1A\x07\x01\x00", 8), 1},
        {QByteArray("Rar!\x1A\x07\x00", 7), 0},
        // The stand-in writes ZIP data: no RAR version to speak of.
        {QByteArray("PK\x03\x04", 4), 0},
    };
    for (const auto& c : cases) {
        scriptArchiver().archive = c.written;
        for (int passes = 0; passes < 2; ++passes) {
            const qsizetype before = loggedLines().size();
            ASSERT_TRUE(app.runPass());
            const QStringList lines = loggedLines().mid(before);
            EXPECT_EQ(lines.count(warning), c.warnings) << c.written.toHex().toStdString();
            if (c.warnings == 1) {
                EXPECT_EQ(lines.indexOf(warning),
                          lines.indexOf(s("[I] time taken for ") + q(first->SourceFolder) +
                                        s(": 00:00:00")) -
                              1);
            }
        }
    }
}

TEST_F(BackupPassTest, AnArchiveGoneBeforeTheListKeepsItsNumberFree)
{
    addRule(s("a"));
    addRule(s("b"));
    addRule(s("c"));
    scriptArchiver();
    // Once the last job has made its archive, the second one disappears
    // before the pass lists what it made.
    clock.onNow = [this] {
        if (QFile::exists(archiveOf(s("c"))))
            QFile::remove(archiveOf(s("b")));
    };

    ASSERT_TRUE(app.runPass());

    EXPECT_EQ(loggedLines().filter(s("backupfile")),
              (QStringList{s("[I] backupfile 1 of 3: ") + q(archiveOf(s("a"))),
                           s("[I] backupfile 3 of 3: ") + q(archiveOf(s("c")))}));
}

TEST_F(BackupPassTest, EveryJobFailingStillRecordsAndSavesTheBackupTime)
{
    addRule(s("a"));
    addRule(s("b"));
    ScriptedArchiverRunner& archiver = scriptArchiver();
    archiver.defaultResultCode = 2;
    archiver.archive.reset();

    ASSERT_TRUE(app.runPass());

    const QStringList lines = loggedLines();
    EXPECT_EQ(lines.filter(s("backupfile")), QStringList());
    EXPECT_EQ(lines.filter(s("[E] backup: failed, error: A fatal error occurred (2)")).size(), 2);
    EXPECT_EQ(lines.last(), s("[I] backup: finished (with errors)"));
    EXPECT_EQ(logic.pass().lastBackupTime(), passStart);
    TMemIniFile saved(logic.configFile().fileName());
    ASSERT_TRUE(saved.load());
    EXPECT_EQ(saved.ReadString(s("settings"), s("LastBackupTime"), QString()),
              passStart.toIso8601());
}

TEST_F(BackupPassTest, ExitCodeOneIsReportedCompletedButCountsAsAnError)
{
    addRule(s("a"));
    scriptArchiver().defaultResultCode = 1;

    ASSERT_TRUE(app.runPass());

    const QStringList lines = loggedLines();
    EXPECT_TRUE(lines.contains(s("[I] backup: completed, archive size: 2.00 kB")));
    EXPECT_EQ(lines.filter(s("backupfile")), QStringList());
    EXPECT_EQ(lines.last(), s("[I] backup: finished (with errors)"));
}

// What the archiver's result code makes of a rule in the pass: whether its
// archive is listed as made, whether it counts as an error, and what the
// webhook and the run history learn.
TEST(BackupPassResultCodes, DecideWhatThePassReports)
{
    struct Case
    {
        int code;
        bool archiveLeft;
        const char* jobLine;
        int recorded;
        bool ok;
    };
    const Case cases[] = {
        {0, true, "[I] backup: completed, archive size: 2.00 kB", 0, true},
        {1, true, "[I] backup: completed, archive size: 2.00 kB", 1, false},
        {0, false, "[E] backup: failed, error: WinRAR did not create an archive file (10001)",
         ResultNoArchiveCreated, false},
        {2, false, "[E] backup: failed, error: A fatal error occurred (2)", 2, false},
        {9, false, "[E] backup: failed, error: File create error (9)", 9, false},
        {255, true, "[E] backup: failed, error: User break (255)", 255, false},
        {ResultStartFailed, false, "[E] backup: failed, error: Failed to start WinRAR (10000)",
         ResultStartFailed, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "code " << c.code << (c.archiveLeft ? " with" : " without") << " archive");
        AppHarness app(passStart);
        app.addRule(s("docs"));
        app.logic.changeSettings([&](TSettings& edited) { edited.CallWebHook = true; }, false);
        app.logic.changeSettings(
            [&](TSettings& edited) { edited.WebHookURL = s("http://127.0.0.1:9/hook"); }, false);
        ScriptedArchiverRunner& archiver = app.scriptArchiver();
        archiver.defaultResultCode = c.code;
        if (!c.archiveLeft)
            archiver.archive.reset();

        ASSERT_TRUE(app.runPass());

        const QStringList lines = app.loggedLines();
        EXPECT_TRUE(lines.contains(s(c.jobLine))) << lines.join(u'\n').toStdString();
        EXPECT_EQ(lines.filter(s("backupfile")).size(), c.ok ? 1 : 0);
        EXPECT_TRUE(lines.contains(c.ok ? s("[I] backup: finished")
                                        : s("[I] backup: finished (with errors)")));
        EXPECT_EQ(app.logic.pass().lastErrors(), c.ok ? 0 : 1);
        ASSERT_EQ(app.services.webHookCalls.size(), 1);
        EXPECT_EQ(app.services.webHookCalls.first().status, c.ok ? s("OK") : s("ERROR"));
        ASSERT_FALSE(app.logic.history().lastPasses().isEmpty());
        EXPECT_EQ(app.logic.history().lastPasses().first().rules.first().result, c.recorded);
    }
}

class BackupPassRefusal : public BackupPassTest
{
protected:
    void expectRefused(const QString& line)
    {
        // A line of its own before: a refused pass leaves the capture alone.
        log.LogInfo(s("earlier line"));
        const QStringList before = loggedLines();
        const qsizetype captured = log.capture().size();
        const bool wasRunning = logic.pass().isRunning();
        EXPECT_FALSE(pass.RunBackup());
        EXPECT_EQ(loggedLines(), before + QStringList{line});
        EXPECT_EQ(logic.pass().isRunning(), wasRunning);
        EXPECT_TRUE(logic.pass().lastBackupTime().isNever());
        EXPECT_TRUE(view.statusTexts.isEmpty());
        EXPECT_TRUE(view.enabled.isEmpty());
        EXPECT_EQ(log.capture().size(), captured + 1);
        EXPECT_FALSE(QFile::exists(logic.configFile().fileName()));
    }
};

TEST_F(BackupPassRefusal, EmptyArchiverLocation)
{
    addRule(s("a"));
    logic.changeSettings([&](TSettings& edited) { edited.WinRARLocation.clear(); }, false);
    expectRefused(s("[E] WinRAR location is not set to a valid value: \"\". aborting."));
}

TEST_F(BackupPassRefusal, ArchiverLocationWithoutAFile)
{
    addRule(s("a"));
    logic.changeSettings([&](TSettings& edited) { edited.WinRARLocation = root.path(); }, false);
    expectRefused(s("[E] WinRAR location is not set to a valid value: ") + q(root.path()) +
                  s(". aborting."));
}

TEST_F(BackupPassRefusal, NoRules)
{
    expectRefused(s("[W] No backup rules present. Aborting."));
}

TEST_F(BackupPassRefusal, PassAlreadyRunning)
{
    addRule(s("a"));
    const BackupPass::Running running(pass);
    // What the running pass turned off is not the refusal's doing.
    view.enabled.clear();
    expectRefused(s("[W] Backup already in progress"));
}

TEST_F(BackupPassTest, CaptureHoldsThePassForTheWebhookAndIsClearedAround)
{
    addRule(s("a"));
    logic.changeSettings([&](TSettings& edited) { edited.CallWebHook = true; }, false);
    logic.changeSettings(
        [&](TSettings& edited) { edited.WebHookURL = s("http://127.0.0.1:9/hook"); }, false);
    logic.changeSettings([&](TSettings& edited) { edited.IncludeLogsInWebHookCall = true; }, false);
    log.LogInfo(s("before the pass"));
    scriptArchiver();

    ASSERT_TRUE(app.runPass());

    ASSERT_EQ(services.webHookCalls.size(), 1);
    const auto& call = services.webHookCalls.first();
    EXPECT_EQ(call.url, s("http://127.0.0.1:9/hook"));
    EXPECT_EQ(call.subject, s("Tessaro notification: OK [OFFICE-PC]"));
    EXPECT_EQ(call.status, s("OK"));
    EXPECT_EQ(call.computerName, s("OFFICE-PC"));
    const QStringList sent = call.message.split(s("\r\n"));
    EXPECT_TRUE(sent.first().endsWith(s("[I] backup: start")));
    EXPECT_TRUE(sent.at(sent.size() - 2).endsWith(s("[I] backup: finished")));
    EXPECT_TRUE(sent.last().isEmpty()) << "every line ends with CR LF";
    EXPECT_FALSE(call.message.contains(s("before the pass")));
    const QStringList lines = loggedLines();
    EXPECT_EQ(lines.mid(lines.size() - 2),
              (QStringList{s("[I] Calling notification URL"), s("[I] Notification URL called")}));
    EXPECT_TRUE(logic.log().capture().isEmpty());
}

TEST_F(BackupPassTest, WebhookFailureAndErrorStatus)
{
    addRule(s("a"), false);
    logic.changeSettings([&](TSettings& edited) { edited.CallWebHook = true; }, false);
    logic.changeSettings(
        [&](TSettings& edited) { edited.WebHookURL = s("http://127.0.0.1:9/hook"); }, false);
    services.webHookOutcome = {false, s("Connection refused")};

    ASSERT_TRUE(app.runPass());

    ASSERT_EQ(services.webHookCalls.size(), 1);
    EXPECT_EQ(services.webHookCalls.first().subject, s("Tessaro notification: ERROR [OFFICE-PC]"));
    EXPECT_EQ(services.webHookCalls.first().status, s("ERROR"));
    EXPECT_TRUE(services.webHookCalls.first().message.isEmpty());
    EXPECT_EQ(loggedLines().last(), s("[I] Calling notification failed: Connection refused"));
}

TEST_F(BackupPassTest, WebhookWithoutUrlIsNotCalled)
{
    addRule(s("a"), false);
    logic.changeSettings([&](TSettings& edited) { edited.CallWebHook = true; }, false);
    ASSERT_TRUE(app.runPass());
    EXPECT_TRUE(services.webHookCalls.isEmpty());
    EXPECT_TRUE(loggedLines().filter(s("notification")).isEmpty());
}

TEST_F(BackupPassTest, RulesChangedDuringThePassDoNotAffectIt)
{
    addRule(s("a"));
    addRule(s("b"));
    bool panelDisabledMeanwhile = false;
    const auto scoped = app.whileArchiverRuns([&] {
        panelDisabledMeanwhile = !view.isEnabled(Control::SchedulePagePanel);
        EXPECT_FALSE(pass.RunBackup());
        logic.settings().rules().Clear();
    });

    ASSERT_TRUE(app.runPass());

    EXPECT_TRUE(panelDisabledMeanwhile);
    EXPECT_EQ(logic.settings().rules().Count(), 0);
    const QStringList lines = loggedLines();
    EXPECT_EQ(lines.filter(s("backupfile")).size(), 2);
    EXPECT_TRUE(lines.contains(s("[W] Backup already in progress")));
    EXPECT_EQ(lines.last(), s("[I] backup: finished"));
}

// The settings a pass took at its start are locked until it ends, and
// given back afterwards.
TEST_F(BackupPassTest, ScheduleAndAutoCleanAreLockedWhileThePassRuns)
{
    addRule(s("a"));
    const Control panels[] = {Control::SchedulePagePanel, Control::AutoCleanPanel};
    QList<bool> enabledMeanwhile;
    const auto scoped = app.whileArchiverRuns([&] {
        for (const Control panel : panels)
            enabledMeanwhile.append(view.isEnabled(panel));
    });

    ASSERT_TRUE(app.runPass());

    EXPECT_EQ(enabledMeanwhile, (QList<bool>{false, false}));
    for (const Control panel : panels)
        EXPECT_TRUE(view.isEnabled(panel)) << int(panel);
}

TEST_F(BackupPassTest, DurationsShowTheTimeOfDayPartOnly)
{
    const TBackupRule* rule = addRule(s("a"));
    const auto scoped = app.whileArchiverRuns(
        [&] { clock.set(clock.now().addMilliseconds(25 * LocalDateTime::MsPerHour + 83'000)); });

    ASSERT_TRUE(app.runPass());

    EXPECT_TRUE(
        loggedLines().contains(s("[I] time taken for ") + q(rule->SourceFolder) + s(": 01:01:23")));
}

TEST_F(BackupPassTest, DateInArchiveNamesIsThePassStartEvenForLateJobs)
{
    addRule(s("a"));
    addRule(s("b"));
    const auto scoped = app.whileArchiverRuns([&] { clock.set(clock.now().addHours(3)); });
    ASSERT_TRUE(app.runPass());
    EXPECT_TRUE(QFile::exists(archiveOf(s("a"))));
    EXPECT_TRUE(QFile::exists(archiveOf(s("b"))));
}

class BackUpOnceNowTest : public BackupPassTest
{};

TEST_F(BackUpOnceNowTest, DisablesTheThreeControlsWhileRunning)
{
    addRule(s("a"));
    QList<bool> meanwhile;
    const auto scoped = app.whileArchiverRuns([&] {
        for (Control c : {Control::ButtonRunOnce, Control::NavButtonRunOnce, Control::MenuRunOnce})
            meanwhile.append(view.isEnabled(c));
        pass.BackUpOnceNow();
    });

    pass.BackUpOnceNow();
    ASSERT_TRUE(app.waitForPass());

    EXPECT_EQ(meanwhile, (QList<bool>{false, false, false}));
    EXPECT_EQ(view.messageTexts(), QStringList{s("A backup process is already running.")});
    EXPECT_EQ(view.messages.first().caption, s("Backup Once (Now)"));
    for (Control c : {Control::ButtonRunOnce, Control::NavButtonRunOnce, Control::MenuRunOnce})
        EXPECT_TRUE(view.isEnabled(c));
    EXPECT_EQ(loggedLines().first(), s("[I] action: backup once (now)"));
    EXPECT_EQ(view.quitCalls, 0);
}

TEST_F(BackUpOnceNowTest, ExitsAfterAPassThatRanEvenWithErrors)
{
    addRule(s("a"), false);
    logic.changeSettings([&](TSettings& edited) { edited.ExitAfterBackupOnce = true; }, false);
    pass.BackUpOnceNow();
    ASSERT_TRUE(app.waitForPass());
    EXPECT_EQ(view.quitCalls, 1);
    EXPECT_TRUE(QFile::exists(logic.configFile().fileName()));
    EXPECT_EQ(loggedLines().last(), s("[I] backup: finished (with errors)"));
}

TEST_F(BackUpOnceNowTest, RefusedStartKeepsRunningAndReenablesControls)
{
    logic.changeSettings([&](TSettings& edited) { edited.ExitAfterBackupOnce = true; }, false);
    logic.changeSettings([&](TSettings& edited) { edited.WinRARLocation.clear(); }, false);
    pass.BackUpOnceNow();
    EXPECT_EQ(view.quitCalls, 0);
    EXPECT_FALSE(QFile::exists(logic.configFile().fileName()));
    for (Control c : {Control::ButtonRunOnce, Control::NavButtonRunOnce, Control::MenuRunOnce})
        EXPECT_TRUE(view.isEnabled(c));
}

// "Back up this rule now" is the pass of "Backup Once (Now)" over one rule:
// its archive alone, auto clean of its folder alone, the webhook, and the
// history with the trigger "rule"; the program keeps running.
TEST_F(BackUpOnceNowTest, BackUpRuleNowRunsThePassOverThatRuleAlone)
{
    TBackupRule* first = addRule(s("a"));
    first->AutoCleanMode = acmNumFiles;
    first->NumFiles = 3;
    TBackupRule* second = addRule(s("b"));
    second->DestinationFolder = test::withSlash(root.filePath(s("other")));
    QDir().mkpath(second->DestinationFolder);
    second->AutoCleanMode = acmNumFiles;
    second->NumFiles = 4;
    second->ExcludeMasks = s("node_modules; *.tmp");
    logic.changeSettings(
        [&](TSettings& edited) {
            edited.ExitAfterBackupOnce = true;
            edited.CallWebHook = true;
            edited.WebHookURL = s("http://127.0.0.1:9/hook");
        },
        false);
    const ScriptedArchiverRunner& archiver = scriptArchiver();

    pass.BackUpRuleNow(1);
    ASSERT_TRUE(app.waitForPass());

    ASSERT_EQ(archiver.calls.size(), 1);
    EXPECT_EQ(archiver.calls[0].archive(), second->DestinationFolder + s("b_260327_140509.rar"));
    const QStringList lines = loggedLines();
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.mid(0, 2),
              (QStringList{s("[I] action: back up rule now ") + q(second->SourceFolder),
                           s("[I] backup: start")}));
    EXPECT_TRUE(lines.filter(s("total time taken")).isEmpty());
    ASSERT_EQ(services.autoCleanCalls.size(), 1);
    EXPECT_EQ(services.autoCleanCalls[0].folder, second->DestinationFolder);
    EXPECT_EQ(services.autoCleanCalls[0].maxFiles, 4);
    ASSERT_EQ(services.webHookCalls.size(), 1);
    EXPECT_EQ(services.webHookCalls[0].message,
              s("exclusions of ") + q(second->SourceFolder) + s(": node_modules; *.tmp\r\n"));
    const QList<PassRecord> passes = logic.history().lastPasses();
    ASSERT_EQ(passes.size(), 1);
    EXPECT_EQ(passes[0].trigger, PassTrigger::Rule);
    ASSERT_EQ(passes[0].rules.size(), 1);
    EXPECT_EQ(passes[0].rules[0].source, second->SourceFolder);
    EXPECT_EQ(passes[0].rules[0].excluded, (QStringList{s("node_modules"), s("*.tmp")}));
    EXPECT_EQ(view.quitCalls, 0);
    EXPECT_FALSE(pass.isRunning());
    for (Control c : {Control::ButtonRunOnce, Control::NavButtonRunOnce, Control::MenuRunOnce})
        EXPECT_TRUE(view.isEnabled(c));
}

TEST_F(BackUpOnceNowTest, BackUpRuleNowIsRefusedWhileAPassRunsAndWithoutARule)
{
    addRule(s("a"));
    const auto scoped = app.whileArchiverRuns([&] { pass.BackUpRuleNow(0); });

    pass.BackUpOnceNow();
    ASSERT_TRUE(app.waitForPass());
    pass.BackUpRuleNow(5);

    EXPECT_EQ(view.messageTexts(), (QStringList{s("A backup process is already running."),
                                                s("Please select the rule you want to back up")}));
    for (const auto& message : view.messages)
        EXPECT_EQ(message.caption, s("Back up this rule now"));
    EXPECT_EQ(loggedLines().filter(s("backup: start")).size(), 1);
}

// The webhook names what each rule left out, after the log lines; without
// masks the message is what it always was.
TEST_F(BackupPassTest, WebhookMessageNamesTheExclusionsOfEachRuleThatHasSome)
{
    TBackupRule* plain = addRule(s("a"));
    TBackupRule* masked = addRule(s("b"));
    masked->ExcludeMasks = s(" *.tmp ;; cache ");
    logic.changeSettings(
        [&](TSettings& edited) {
            edited.CallWebHook = true;
            edited.WebHookURL = s("http://127.0.0.1:9/hook");
            edited.IncludeLogsInWebHookCall = true;
        },
        false);
    scriptArchiver();

    ASSERT_TRUE(app.runPass());
    masked->ExcludeMasks.clear();
    ASSERT_TRUE(app.runPass());

    ASSERT_EQ(services.webHookCalls.size(), 2);
    const QString withMasks = services.webHookCalls[0].message;
    const QString exclusions =
        s("exclusions of ") + q(masked->SourceFolder) + s(": *.tmp; cache\r\n");
    EXPECT_TRUE(withMasks.endsWith(s("[I] backup: finished\r\n") + exclusions))
        << withMasks.toStdString();
    EXPECT_FALSE(withMasks.contains(s("exclusions of ") + q(plain->SourceFolder)));
    const QString withoutMasks = services.webHookCalls[1].message;
    EXPECT_TRUE(withoutMasks.endsWith(s("[I] backup: finished\r\n")));
    EXPECT_FALSE(withoutMasks.contains(s("exclusions")));
}

// Destination folders compared as Windows compares them: the pass runs auto
// clean once per folder, with the first rule's limits.
class AutoCleanCalls : public BackupPassTest
{
protected:
    AutoCleanCalls() : BackupPassTest(PathStyle::Windows) {}

    void addWindowsRule(const char* destination, TAutoCleanMode mode, int numFiles, int diskUsage)
    {
        auto rule = std::make_unique<TBackupRule>();
        rule->SourceFolder = s("Q:\\missing\\");
        rule->DestinationFolder = s(destination);
        rule->DestinationFilename = s("x");
        rule->AutoCleanMode = mode;
        rule->NumFiles = numFiles;
        rule->DiskUsage = diskUsage;
        logic.settings().rules().Add(std::move(rule));
    }
};

TEST_F(AutoCleanCalls, OncePerDestinationFolderWithTheFirstRulesLimits)
{
    addWindowsRule("D:\\Backup\\", acmNumFiles, 10, 5);
    addWindowsRule("d:\\backup\\", acmDiskUsage, 3, 7);
    addWindowsRule("E:\\Off\\", acmOff, 10, 5);
    addWindowsRule("F:\\Zero\\", acmNumFiles, 0, 5);
    addWindowsRule("G:\\Size\\", acmDiskUsage, 10, 5);
    logic.changeSettings([&](TSettings& edited) { edited.ArchiveFormat = TArchiveFormat::Zip; },
                         false);

    ASSERT_TRUE(app.runPass());

    ASSERT_EQ(services.autoCleanCalls.size(), 2);
    EXPECT_EQ(services.autoCleanCalls[0].folder, s("D:\\Backup\\"));
    EXPECT_EQ(services.autoCleanCalls[0].extension, s("zip"));
    EXPECT_EQ(services.autoCleanCalls[0].maxFiles, 10);
    EXPECT_EQ(services.autoCleanCalls[0].maxBytes, 0);
    EXPECT_EQ(services.autoCleanCalls[1].folder, s("G:\\Size\\"));
    EXPECT_EQ(services.autoCleanCalls[1].maxFiles, 0);
    EXPECT_EQ(services.autoCleanCalls[1].maxBytes, 5LL * 1024 * 1024 * 1024);
    // Auto clean reports through the activity log, before the summary line.
    const QStringList lines = loggedLines();
    EXPECT_EQ(lines.at(lines.size() - 2), s("[I] auto clean: called"));
}

// Auto clean learns the pass's time and every archive name of the pass, so
// that it never deletes what the pass has just made.
TEST_F(BackupPassTest, AutoCleanKnowsThePassAndItsArchives)
{
    scriptArchiver();
    for (const char* name : {"docs", "mail"}) {
        TBackupRule* rule = addRule(s(name));
        rule->DestinationFilename = s(name) + s("_#ymd_hns#");
        rule->AutoCleanMode = acmNumFiles;
        rule->NumFiles = 1;
    }

    ASSERT_TRUE(app.runPass());

    ASSERT_EQ(services.autoCleanCalls.size(), 1);
    const TAutoCleanContext& context = services.autoCleanCalls[0].context;
    EXPECT_EQ(context.PassArchives, (QStringList{archiveOf(s("docs")), archiveOf(s("mail"))}));
    EXPECT_EQ(context.Now, passStart);
}

TEST(DiskUsageLimit, IsReadAsGigabytesIn64Bits)
{
    EXPECT_EQ(BackupPass::DiskUsageBytes(1), 1073741824LL);
    EXPECT_EQ(BackupPass::DiskUsageBytes(1000), 1073741824000LL);
    EXPECT_EQ(BackupPass::DiskUsageBytes(2147483647), 2147483647LL * 1073741824LL);
}

} // namespace
} // namespace tessaro
