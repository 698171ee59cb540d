// The tray icon's tooltip follows the program's state through a real pass
// and the schedule's ticks.

#include "MainWindowHarness.h"

#include <QSystemTrayIcon>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;

TEST(TrayToolTip, FollowsIdlePassAndPlan)
{
    test::MainWindowHarness window;
    window.showLoaded();
    auto* tray = window.form->findChild<QSystemTrayIcon*>(u"TrayIcon"_s);
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(tray->toolTip(), u"Tessaro: idle"_s);

    // What the tray shows while the archiver of a pass runs.
    QString duringPass;
    {
        const BackupPass::Running running(window.logic().pass());
        window.form->setStatusText(u"backup process started"_s);
        duringPass = tray->toolTip();
    }
    EXPECT_EQ(duringPass, u"Tessaro: backup pass running"_s);

    // Daily at 20:30, started at 14:05 on the 27th: a first run lies at
    // least half a period ahead, so it is the 28th's.
    window.logic().changeSettings(
        [](TSettings& settings) {
            settings.Schedule.StartTimeHour = 20;
            settings.Schedule.StartTimeMinute = 30;
            settings.Schedule.PeriodHours = 24;
        },
        false);
    window.addRule(u"a"_s);
    window.logic().periodic().ActionRun(false);
    window.form->logic().periodic().TimerScheduleTimer();
    EXPECT_EQ(tray->toolTip(), u"Tessaro: next backup pass at 28.03.2026 20:30"_s);
}

} // namespace
} // namespace tessaro
