#include "AppHarness.h"
#include "QtPrinters.h"
#include "core/MemIniFile.h"

#include <QTimer>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using test::AppHarness;

QString s(const char* text)
{
    return QString::fromUtf8(text);
}

LocalDateTime at(int day, int hour, int minute = 0, int second = 0)
{
    return LocalDateTime::fromParts(2026, 3, day, hour, minute, second);
}

const Control runControls[] = {Control::NavButtonRun,        Control::ButtonRun,
                               Control::ButtonRunOnSchedule, Control::EditStartTime,
                               Control::ComboRepeat,         Control::CheckWeekdays};
const Control stopControls[] = {Control::NavButtonStop, Control::ButtonStop,
                                Control::ButtonStopOnSchedule};

class PeriodicRun : public ::testing::Test
{
protected:
    PeriodicRun() : app(at(27, 10))
    {
        // Daily at 12:00, every day.
        app.logic.changeSettings([&](TSettings& edited) { edited.Schedule.PeriodHours = 24; },
                                 false);
        app.logic.changeSettings([&](TSettings& edited) { edited.Schedule.StartTimeHour = 12; },
                                 false);
    }

    void expectActive(bool active)
    {
        EXPECT_EQ(app.logic.periodic().isActive(), active);
        for (Control c : runControls)
            EXPECT_EQ(app.view.isEnabled(c), !active) << int(c);
        for (Control c : stopControls)
            EXPECT_EQ(app.view.isEnabled(c), active) << int(c);
        EXPECT_EQ(app.view.texts.value(Control::MenuRunPeriodic),
                  active ? s("Stop &Periodic Run") : s("&Run Periodic"));
    }

    PeriodicRunController& periodic() { return app.logic.periodic(); }

    // One rule, yesterday's 12:00 run done, periodic runs started: the next
    // run falls due today at 12:00.
    void startAfterYesterdaysRun()
    {
        app.addRule(s("a"));
        app.logic.periodic().restoreLastRun(at(26, 12));
        periodic().ActionRun(true);
        ASSERT_TRUE(app.waitForPass());
    }

    AppHarness app;
};

TEST_F(PeriodicRun, WindowCreationLeavesItInactiveWithoutALine)
{
    expectActive(false);
    EXPECT_EQ(app.loggedLines(), QStringList{s("[I] Tessaro version 1.60327")});
}

TEST_F(PeriodicRun, StartWithoutRulesIsRefused)
{
    periodic().ActionRun(true);
    ASSERT_TRUE(app.waitForPass());
    expectActive(false);
    EXPECT_EQ(app.loggedLines().last(), s("[W] No backup rules present. Aborting."));
    EXPECT_EQ(app.view.messageTexts(), QStringList{s("No backup rules present. Aborting.")});
    EXPECT_EQ(app.view.messages.first().caption, s("Periodic run"));

    periodic().ActionRun(false);
    ASSERT_TRUE(app.waitForPass());
    EXPECT_EQ(app.view.messages.size(), 1) << "no box when not interactive";
}

TEST_F(PeriodicRun, NavigationAndMenuAskForRulesFirst)
{
    periodic().NavButtonRunClick();
    periodic().MenuRunPeriodicClick();
    EXPECT_EQ(app.view.messageTexts(), (QStringList{s("Please add some backup rules first"),
                                                    s("Please add some backup rules first")}));
    EXPECT_EQ(app.view.messages.first().caption, s("Backup Once (Now)"));
    EXPECT_EQ(app.loggedLines().size(), 1) << "no log line";
}

TEST_F(PeriodicRun, StartComputesTheNextRunAndStopKeepsLastRun)
{
    app.addRule(s("a"));
    app.logic.periodic().restoreLastRun(at(26, 12));

    periodic().ActionRun(true);
    ASSERT_TRUE(app.waitForPass());

    expectActive(true);
    EXPECT_EQ(app.logic.periodic().nextRun(), at(27, 12));
    EXPECT_EQ(app.loggedLines().mid(1),
              (QStringList{s("[I] begin periodic run"),
                           s("[I] next scheduled backup: 2026.03.27 12:00")}));
    EXPECT_TRUE(app.view.messages.isEmpty());

    periodic().ActionStop();
    expectActive(false);
    EXPECT_EQ(app.loggedLines().last(), s("[I] end periodic run"));
    EXPECT_EQ(app.logic.periodic().lastRun(), at(26, 12));
    periodic().MenuRunPeriodicClick();
    expectActive(true);
    EXPECT_EQ(app.logic.periodic().nextRun(), at(27, 12));
}

TEST_F(PeriodicRun, LastRunLaterThanNowCountsAsNow)
{
    app.addRule(s("a"));
    // What a clock that was wrong once leaves behind.
    for (const char* stored : {"9999-12-31T23:59:59.999Z", "2026-03-27T10:00:00.001"}) {
        SCOPED_TRACE(stored);
        const LocalDateTime future = LocalDateTime::fromIso8601(s(stored));
        periodic().restoreLastRun(future);

        periodic().ActionRun(false);

        // A period from now, as after a run now.
        EXPECT_EQ(periodic().nextRun(), at(28, 10));
        EXPECT_EQ(periodic().lastRun(), at(27, 10));
        const QStringList lines = app.loggedLines();
        ASSERT_GE(lines.size(), 3);
        EXPECT_EQ(
            lines.mid(lines.size() - 3),
            (QStringList{s("[I] begin periodic run"),
                         s("[W] last scheduled backup ") + future.format(u"yyyy.mm.dd hh:nn") +
                             s(" is later than now; the schedule counts from now"),
                         s("[I] next scheduled backup: 2026.03.28 10:00")}));
        periodic().ActionStop();
    }
}

struct CatchUpCase
{
    const char* name;
    LocalDateTime lastBackup;
    bool interactive;
    MessageAnswer answer;
    bool asked;
    bool backedUp;
};

TEST_F(PeriodicRun, CatchUpDecision)
{
    const LocalDateTime now = at(27, 10);
    const CatchUpCase cases[] = {
        {"never backed up", LocalDateTime(), true, MessageAnswer::Yes, false, false},
        {"24 h 59 min is not more than 24 whole hours", now.addMinutes(-(24 * 60 + 59)), true,
         MessageAnswer::Yes, false, false},
        {"25 h asks, yes", now.addHours(-25), true, MessageAnswer::Yes, true, true},
        {"25 h asks, no", now.addHours(-25), true, MessageAnswer::No, true, false},
        {"not interactive catches up silently", now.addHours(-25), false, MessageAnswer::No, false,
         true},
    };
    for (const auto& c : cases) {
        AppHarness h(now);
        h.logic.changeSettings([&](TSettings& edited) { edited.Schedule.PeriodHours = 24; }, false);
        h.addRule(s("a"));
        h.logic.pass().restoreLastBackupTime(c.lastBackup);
        h.view.answers = {c.answer};
        const auto scoped = h.plan(AppHarness::archiveMade());

        h.logic.periodic().ActionRun(c.interactive);
        ASSERT_TRUE(h.waitForPass());

        const QStringList lines = h.loggedLines();
        EXPECT_EQ(h.view.messageTexts().contains(s("Do you want to run a backup right now?")),
                  c.asked)
            << c.name;
        EXPECT_EQ(lines.contains(s("[I] missed at least one period. trying to catch up...")),
                  c.backedUp)
            << c.name;
        EXPECT_EQ(lines.contains(s("[I] action: backup once (now)")), c.backedUp) << c.name;
        EXPECT_TRUE(lines.last().startsWith(s("[I] next scheduled backup: "))) << c.name;
    }
}

TEST_F(PeriodicRun, SilentCatchUpEndsTheProgramWhenAskedToExitAfterBackupOnce)
{
    app.addRule(s("a"), false);
    app.logic.pass().restoreLastBackupTime(at(20, 10));
    app.logic.changeSettings([&](TSettings& edited) { edited.ExitAfterBackupOnce = true; }, false);
    periodic().ActionRun(false);
    ASSERT_TRUE(app.waitForPass());
    EXPECT_EQ(app.view.quitCalls, 1);
    EXPECT_TRUE(app.loggedLines().contains(s("[I] backup: finished (with errors)")));
}

TEST(RemainingTime, Rendering)
{
    const LocalDateTime next = at(27, 14, 5);
    EXPECT_EQ(PeriodicRunController::RemainingTimeText(next, next.addMinutes(-(2 * 24 + 7) * 60)),
              s("Next run: 27.03.2026 14:05, time remaining: 2 days, 07:00"));
    EXPECT_EQ(PeriodicRunController::RemainingTimeText(next, next.addMilliseconds(-59'000)),
              s("Next run: 27.03.2026 14:05, time remaining: 00:00"));
    EXPECT_EQ(PeriodicRunController::RemainingTimeText(next, next.addMinutes(-(24 * 60 + 1))),
              s("Next run: 27.03.2026 14:05, time remaining: 1 days, 00:01"));
    EXPECT_EQ(PeriodicRunController::RemainingTimeText(next, next.addMinutes(-195)),
              s("Next run: 27.03.2026 14:05, time remaining: 03:15"));
}

TEST_F(PeriodicRun, TicksShowTheStateAndStartTheDueRun)
{
    periodic().TimerScheduleTimer();
    ASSERT_TRUE(app.waitForPass());
    EXPECT_EQ(app.view.texts.value(Control::LabelScheduleInfo), s("Periodic run is inactive"));
    EXPECT_EQ(app.view.statusText(), QString());

    startAfterYesterdaysRun();

    app.clock.set(at(27, 12));
    periodic().TimerScheduleTimer();
    ASSERT_TRUE(app.waitForPass());
    EXPECT_EQ(app.view.texts.value(Control::LabelScheduleInfo),
              s("Periodic run is active. Next run: 27.03.2026 12:00, time remaining: 00:00"));
    EXPECT_EQ(app.view.statusText(),
              s("   Periodic run. Next run: 27.03.2026 12:00, time remaining: 00:00"));
    EXPECT_EQ(app.logic.periodic().lastRun(), at(26, 12)) << "equal to the next run is not yet due";

    const auto scoped = app.plan(AppHarness::archiveMade());
    app.clock.set(at(27, 12, 0, 1));
    periodic().TimerScheduleTimer();
    ASSERT_TRUE(app.waitForPass());

    EXPECT_EQ(app.logic.periodic().lastRun(), at(27, 12));
    EXPECT_EQ(app.logic.periodic().nextRun(), at(28, 12));
    const QStringList lines = app.loggedLines();
    EXPECT_TRUE(lines.contains(s("[I] starting backup per schedule")));
    EXPECT_EQ(
        lines.mid(lines.size() - 2),
        (QStringList{s("[I] backup: finished"), s("[I] next scheduled backup: 2026.03.28 12:00")}));
    EXPECT_EQ(app.view.quitCalls, 0) << "a scheduled pass never ends the program";
}

TEST_F(PeriodicRun, EveryTickShowsTheRemainingTimeOfItsMoment)
{
    // Ticks a second apart and jumps of the clock both ways, up to the due
    // time: the text follows the clock, whatever the tick before showed.
    startAfterYesterdaysRun();
    const LocalDateTime next = app.logic.periodic().nextRun();
    ASSERT_EQ(next, at(27, 12));
    QList<LocalDateTime> moments;
    for (int second = -130; second < 0; ++second)
        moments.append(next.addMilliseconds(second * LocalDateTime::MsPerSecond + 250));
    moments.append({next.addMinutes(-24 * 60 - 1), next.addMinutes(-24 * 60),
                    next.addMinutes(-24 * 60 + 1), next.addMinutes(-5), next.addMinutes(-90)});
    for (const LocalDateTime& now : moments) {
        app.clock.set(now);
        periodic().TimerScheduleTimer();
        const QString expected = PeriodicRunController::RemainingTimeText(next, now);
        ASSERT_EQ(app.view.texts.value(Control::LabelScheduleInfo),
                  s("Periodic run is active. ") + expected)
            << now.milliseconds();
        ASSERT_EQ(app.view.statusText(), s("   Periodic run. ") + expected);
    }
}

TEST_F(PeriodicRun, DueRunSavesTheScheduledTimeBeforeThePass)
{
    startAfterYesterdaysRun();
    app.clock.set(at(27, 12, 1));
    QString savedDuringPass;
    const auto scoped = app.whileArchiverRuns([&] {
        TMemIniFile ini(app.logic.configFile().fileName());
        ini.load();
        savedDuringPass = ini.ReadString(s("schedule"), s("LastRun"), QString());
    });
    periodic().TimerScheduleTimer();
    ASSERT_TRUE(app.waitForPass());
    EXPECT_EQ(savedDuringPass, at(27, 12).toIso8601());
}

TEST_F(PeriodicRun, NoRulesWhenDueWarnsEveryTickWithoutMovingTheNextRun)
{
    startAfterYesterdaysRun();
    app.logic.settings().rules().Clear();
    app.clock.set(at(27, 13));
    periodic().TimerScheduleTimer();
    ASSERT_TRUE(app.waitForPass());
    periodic().TimerScheduleTimer();
    ASSERT_TRUE(app.waitForPass());
    EXPECT_EQ(app.loggedLines().filter(s("[W] No backup rules present. Aborting")).size(), 2);
    EXPECT_EQ(app.loggedLines().last(), s("[W] No backup rules present. Aborting"));
    EXPECT_EQ(app.logic.periodic().nextRun(), at(27, 12));
    EXPECT_EQ(app.logic.periodic().lastRun(), at(27, 12));
}

// Ticks go on while the scheduled pass waits for the archiver: they keep the
// schedule texts current, leave the status bar to the pass, and leave the
// due steps to the tick that started the pass.
TEST_F(PeriodicRun, TickDuringTheScheduledPassOnlyRefreshesTheTexts)
{
    startAfterYesterdaysRun();
    app.clock.set(at(27, 12, 1));
    const auto scoped = app.whileArchiverRuns([&] {
        const qsizetype statusCount = app.view.statusTexts.size();
        app.clock.set(at(27, 12, 3));
        periodic().TimerScheduleTimer();
        EXPECT_EQ(app.view.texts.value(Control::LabelScheduleInfo),
                  s("Periodic run is active. Next run: 27.03.2026 12:00, time remaining: 00:03"));
        EXPECT_EQ(app.view.statusTexts.size(), statusCount);
    });

    periodic().TimerScheduleTimer();
    ASSERT_TRUE(app.waitForPass());

    const QStringList lines = app.loggedLines();
    EXPECT_EQ(lines.filter(s("[I] starting backup per schedule")).size(), 1);
    EXPECT_TRUE(lines.filter(s("[W] Backup already in progress")).isEmpty());
    EXPECT_EQ(lines.filter(s("[I] next scheduled backup: 2026.03.28 12:00")).size(), 1);
    EXPECT_EQ(lines.last(), s("[I] next scheduled backup: 2026.03.28 12:00"));
    EXPECT_EQ(app.logic.periodic().lastRun(), at(27, 12));
    EXPECT_EQ(app.logic.periodic().nextRun(), at(28, 12));
}

// A pass started by hand is no scheduled pass: a tick during it that finds
// the run due goes through the due steps, and the pass refuses the second
// start.
TEST_F(PeriodicRun, DueTickDuringAPassStartedByHandIsRefused)
{
    startAfterYesterdaysRun();
    app.clock.set(at(27, 12, 1));
    const auto scoped = app.whileArchiverRuns([&] {
        const qsizetype statusCount = app.view.statusTexts.size();
        periodic().TimerScheduleTimer();
        // The tick leaves the status bar to the running pass.
        EXPECT_EQ(app.view.statusTexts.size(), statusCount);
    });

    app.logic.pass().BackUpOnceNow();
    ASSERT_TRUE(app.waitForPass());

    const QStringList lines = app.loggedLines();
    EXPECT_EQ(lines.filter(s("[I] starting backup per schedule")).size(), 1);
    EXPECT_EQ(lines.filter(s("[W] Backup already in progress")).size(), 1);
    EXPECT_EQ(lines.filter(s("[I] next scheduled backup: 2026.03.28 12:00")).size(), 1);
    EXPECT_EQ(lines.filter(s("[I] backup: start")).size(), 1);
    EXPECT_EQ(app.logic.periodic().lastRun(), at(27, 12));
}

TEST_F(PeriodicRun, StopDuringAPassLetsItFinishAndStartsNoMore)
{
    startAfterYesterdaysRun();
    app.clock.set(at(27, 12, 1));
    const auto scoped = app.whileArchiverRuns([&] { periodic().ActionStop(); });

    periodic().TimerScheduleTimer();
    ASSERT_TRUE(app.waitForPass());

    QStringList lines = app.loggedLines();
    EXPECT_LT(lines.indexOf(s("[I] end periodic run")), lines.indexOf(s("[I] backup: finished")));
    EXPECT_EQ(lines.last(), s("[I] next scheduled backup: 2026.03.28 12:00"));
    app.clock.set(at(29, 12));
    periodic().TimerScheduleTimer();
    ASSERT_TRUE(app.waitForPass());
    EXPECT_EQ(app.loggedLines(), lines);
}

// The schedule in effect cannot change while periodic runs are active, so a
// settings update (a rule added, a setting clicked) leaves the weekday list
// disabled with the other schedule fields; once stopped, the period decides.
TEST_F(PeriodicRun, SettingsUpdatesKeepTheWeekdayListDisabledWhileActive)
{
    for (const int period : {4, 24, 48}) {
        SCOPED_TRACE(period);
        app.logic.changeSettings([&](TSettings& edited) { edited.Schedule.PeriodHours = period; },
                                 false);
        startAfterYesterdaysRun();
        app.logic.config().UpdateSettings();
        expectActive(true);

        periodic().ActionStop();
        app.logic.config().UpdateSettings();
        EXPECT_EQ(app.view.isEnabled(Control::CheckWeekdays), period <= 24);
    }
}

TEST_F(PeriodicRun, StartFollowsTheScheduleOfTheSettings)
{
    // Tuesdays and Thursdays at 03:30, every four hours: from Friday the
    // 27th at 10:00 the next run is Tuesday the 31st at 03:30.
    app.logic.changeSettings(
        [](TSettings& settings) {
            settings.Schedule.StartTimeHour = 3;
            settings.Schedule.StartTimeMinute = 30;
            settings.Schedule.PeriodHours = 4;
            settings.Schedule.setWeekdays({false, true, false, true, false, false, false});
        },
        false);
    app.addRule(s("a"));
    periodic().ActionRun(true);
    ASSERT_TRUE(app.waitForPass());
    EXPECT_EQ(app.logic.periodic().nextRun(), at(31, 3, 30));
    EXPECT_EQ(periodic().schedule().Weekdays, 0b0001010);

    // A settings change while periodic runs are off is what the next start
    // follows.
    periodic().ActionStop();
    app.logic.changeSettings(
        [](TSettings& settings) {
            settings.Schedule.PeriodHours = 48;
            settings.Schedule.setWeekdays({true, true, true, true, true, true, true});
        },
        false);
    periodic().ActionRun(true);
    ASSERT_TRUE(app.waitForPass());
    EXPECT_EQ(periodic().schedule().PeriodHours, 48);
}

} // namespace
} // namespace tessaro
