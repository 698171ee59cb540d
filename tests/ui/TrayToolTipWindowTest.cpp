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
    window.state().IsRunning = true;
    window.form->setStatusText(u"backup process started"_s);
    duringPass = tray->toolTip();
    window.state().IsRunning = false;
    EXPECT_EQ(duringPass, u"Tessaro: backup pass running"_s);

    window.state().PeriodicRunActive = true;
    window.state().NextScheduleRun = LocalDateTime::fromParts(2026, 3, 27, 20, 30);
    window.form->logic().periodic().TimerScheduleTimer();
    EXPECT_EQ(tray->toolTip(), u"Tessaro: next backup pass at 27.03.2026 20:30"_s);
}

} // namespace
} // namespace tessaro
