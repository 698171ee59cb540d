#include "AppHarness.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using test::AppHarness;
using namespace Qt::StringLiterals;

LocalDateTime at(int day, int hour, int minute = 0)
{
    return LocalDateTime::fromParts(2026, 3, day, hour, minute);
}

// Records what the tray is told.
class FakeTray final : public TrayView
{
public:
    void showTrayState(TrayState state) override { states.append(state); }
    void showTrayNotice(const QString& title, const QString& text) override
    {
        notices.append(title + u" | "_s + text);
    }
    QList<TrayState> states;
    QStringList notices;
};

class PassAlertsTest : public ::testing::Test
{
protected:
    PassAlertsTest() : app(at(27, 10))
    {
        app.logic.alerts().setView(&tray);
        tray.states.clear();
    }

    AppHarness app;
    FakeTray tray;
};

TEST_F(PassAlertsTest, AFailedPassIsNotifiedAndShownUntilAGoodPass)
{
    app.addRule(u"a"_s);
    const TBackupRule* empty = app.addRule(u"b"_s, false);
    app.addRule(u"c"_s, false);
    {
        const auto scoped = app.plan(AppHarness::archiveMade());
        ASSERT_TRUE(app.runPass());
    }
    EXPECT_EQ(tray.states, (QList<TrayState>{TrayState::Running, TrayState::Failed}));
    EXPECT_EQ(tray.notices, QStringList{u"Tessaro: backup failed | 2 of 3 rules failed, the first "
                                        u"for \""_s +
                                        empty->SourceFolder + u"\"."_s});
    EXPECT_EQ(app.logic.alerts().state(), TrayState::Failed);

    app.logic.settings().rules().Delete(2);
    app.logic.settings().rules().Delete(1);
    {
        const auto scoped = app.plan(AppHarness::archiveMade());
        ASSERT_TRUE(app.runPass());
    }
    EXPECT_EQ(tray.states.mid(2), (QList<TrayState>{TrayState::Running, TrayState::Idle}));
    EXPECT_EQ(tray.notices.size(), 1) << "a good pass brings no notification";
}

struct ExitCase
{
    const char* name;
    bool exitAfterBackupOnce;
    bool withFile;
    int quitCalls;
    int status;
};

class ExitStatusTest : public PassAlertsTest, public ::testing::WithParamInterface<ExitCase>
{};

TEST_P(ExitStatusTest, BackupOnceThenExitEndsWithTheOutcome)
{
    const ExitCase& c = GetParam();
    app.addRule(u"a"_s, c.withFile);
    app.logic.changeSettings(
        [&](TSettings& edited) { edited.ExitAfterBackupOnce = c.exitAfterBackupOnce; }, false);
    const auto scoped = app.plan(AppHarness::archiveMade());

    app.logic.pass().BackUpOnceNow();
    ASSERT_TRUE(app.waitForPass());

    EXPECT_EQ(app.view.quitCalls, c.quitCalls);
    EXPECT_EQ(app.logic.pass().exitStatus(), c.status);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExitStatusTest,
    ::testing::Values(ExitCase{"GoodPassEndsWithZero", true, true, 1, ExitStatusOk},
                      ExitCase{"FailedPassEndsWithErrors", true, false, 1, ExitStatusErrors},
                      ExitCase{"WithoutTheExitOptionNothingChanges", false, false, 0,
                               ExitStatusOk}),
    [](const auto& info) { return std::string(info.param.name); });

// Periodic runs every 4 hours from 12:00; the warning comes after 6 hours
// without a pass that ended well.
class OverdueTest : public PassAlertsTest
{
protected:
    OverdueTest()
    {
        app.addRule(u"a"_s);
        app.logic.changeSettings([&](TSettings& edited) { edited.Schedule.PeriodHours = 4; },
                                 false);
        app.logic.changeSettings([&](TSettings& edited) { edited.WarnWhenOverdue = true; }, false);
        app.logic.periodic().ActionRun(false);
        EXPECT_TRUE(app.waitForPass());
    }

    // One tick of the schedule timer at the given time.
    void tickAt(LocalDateTime time)
    {
        app.clock.set(time);
        app.logic.scheduleTick();
        ASSERT_TRUE(app.waitForPass());
    }

    // From now on every pass's jobs end with the archiver's code 2 and no
    // archive.
    void everyPassFails()
    {
        test::ScriptedArchiverRunner& archiver = app.scriptArchiver();
        archiver.defaultResultCode = 2;
        archiver.archive.reset();
    }

    QStringList overdueLines() const { return app.loggedLines().filter(u"overdue"_s); }
    static QString warning(const char* since)
    {
        return u"[W] backup: overdue, no pass without errors has ended for more than 6 hours "
               u"(since "_s +
               QString::fromLatin1(since) + u")"_s;
    }
};

TEST_F(OverdueTest, WarnsOncePerStretchWithoutAGoodPass)
{
    everyPassFails();
    tickAt(at(27, 10));
    tickAt(at(27, 16));
    EXPECT_TRUE(overdueLines().isEmpty()) << "exactly six hours is not more";
    tickAt(at(27, 16, 1));
    tickAt(at(27, 20, 1));
    tickAt(at(28, 9));

    EXPECT_EQ(overdueLines(), QStringList{warning("27.03.2026 10:00")});
    EXPECT_EQ(tray.notices.filter(u"overdue"_s),
              QStringList{u"Tessaro: backup overdue | "_s + warning("27.03.2026 10:00").mid(4)});
}

TEST_F(OverdueTest, AGoodPassEndsTheStretchAndANewOneWarnsAgain)
{
    tickAt(at(27, 10));
    app.scriptArchiver();
    tickAt(at(27, 12, 1));
    everyPassFails();
    tickAt(at(27, 18, 1));
    EXPECT_TRUE(overdueLines().isEmpty());
    tickAt(at(27, 18, 2));
    EXPECT_EQ(overdueLines(), QStringList{warning("27.03.2026 12:01")});
}

TEST_F(OverdueTest, TheWarningGoesOutWithTheNextWebhookCall)
{
    app.logic.changeSettings([&](TSettings& edited) { edited.CallWebHook = true; }, false);
    app.logic.changeSettings([&](TSettings& edited) { edited.IncludeLogsInWebHookCall = true; },
                             false);
    app.logic.changeSettings(
        [&](TSettings& edited) { edited.WebHookURL = u"http://127.0.0.1:1/hook"_s; }, false);
    tickAt(at(27, 10));
    // The computer slept through two runs; the due pass runs at waking.
    app.scriptArchiver();
    tickAt(at(27, 20));

    ASSERT_EQ(app.services.webHookCalls.size(), 1);
    const QStringList message =
        app.services.webHookCalls.first().message.split(u"\r\n"_s, Qt::SkipEmptyParts);
    ASSERT_GE(message.size(), 2);
    EXPECT_EQ(message.at(0).mid(20), warning("27.03.2026 10:00"));
    EXPECT_EQ(message.at(1).mid(20), u"[I] backup: start"_s);
}

TEST_F(OverdueTest, StaysQuietWhenNotAskedFor)
{
    app.logic.changeSettings([&](TSettings& edited) { edited.WarnWhenOverdue = false; }, false);
    everyPassFails();
    tickAt(at(27, 10));
    tickAt(at(28, 10));
    EXPECT_TRUE(overdueLines().isEmpty());
    EXPECT_TRUE(tray.notices.filter(u"overdue"_s).isEmpty());
}

} // namespace
} // namespace tessaro
