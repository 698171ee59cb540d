#include "PassHarness.h"
#include "ui/ActivityLogView.h"
#include "ui/MainTrayIcon.h"

#include <QAction>
#include <QLabel>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace tessaro {
namespace {

using test::PassHarness;

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

class MainWindowAlertsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tray = h.window.form->findChild<MainTrayIcon*>(u"TrayIcon"_s);
        ASSERT_NE(tray, nullptr);
    }

    PassHarness h;
    MainTrayIcon* tray = nullptr;
};

TEST_F(MainWindowAlertsTest, AFailedPassIsNotifiedAndTheIconKeepsItUntilAGoodPass)
{
    EXPECT_EQ(tray->toolTip(), u"Tessaro: idle"_s);
    EXPECT_FALSE(tray->isVisible());

    h.backupOnce();
    settle();

    EXPECT_EQ(tray->state(), TrayState::Failed);
    EXPECT_EQ(tray->toolTip(), u"Tessaro: last backup failed"_s);
    EXPECT_TRUE(tray->isVisible()) << "the icon shows the failure";
    EXPECT_EQ(tray->lastNoticeTitle(), u"Tessaro: backup failed"_s);
    EXPECT_EQ(tray->lastNoticeText(),
              u"1 of 1 rule failed, the first for \""_s + h.window.data.path() + u"/src/\"."_s);

    // The window comes back from wherever it was, its log in view; the
    // icon stays while the failure stands.
    h.window.form->showMinimized();
    settle();
    Q_EMIT tray->messageClicked();
    settle();
    EXPECT_TRUE(h.window.form->isVisible());
    EXPECT_FALSE(h.window.form->isMinimized());
    EXPECT_TRUE(tray->isVisible());

    h.goodPasses();
    h.backupOnce();
    settle();
    EXPECT_EQ(tray->state(), TrayState::Idle);
    EXPECT_EQ(tray->toolTip(), u"Tessaro: idle"_s);
    EXPECT_FALSE(tray->isVisible());
}

TEST_F(MainWindowAlertsTest, TheIconShowsARunningPass)
{
    const QString go = h.window.data.path() + u"/go"_s;
    h.goodPasses("wait-for=" + go.toUtf8().toPercentEncoding() + '\n');
    QString meanwhile;
    QTimer::singleShot(0, [&] {
        meanwhile = tray->toolTip();
        QFile file(go);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    });
    h.backupOnce();
    // A running pass shows its progress.
    EXPECT_EQ(meanwhile, u"Tessaro: Backup 1 of 1: "_s + h.window.data.path() + u"/src/ (0 min)"_s);
    EXPECT_EQ(tray->toolTip(), u"Tessaro: idle"_s);
}

TEST_F(MainWindowAlertsTest, OverdueWarningReachesTheTrayOncePerStretch)
{
    MainWindowLogic& logic = h.window.logic();
    logic.changeSettings([&](TSettings& edited) { edited.WarnWhenOverdue = true; }, false);
    logic.changeSettings([&](TSettings& edited) { edited.Schedule.PeriodHours = 4; }, false);
    h.window.form->logic().periodic().ActionRun(false);

    // Lets the schedule timer tick once at the given time.
    const auto tickAt = [&](LocalDateTime time) {
        h.window.clock.set(time);
        auto* timer = h.window.find<QTimer>("TimerSchedule");
        auto* info = h.window.find<QLabel>("LabelScheduleInfo");
        info->clear();
        timer->start(0);
        for (int i = 0; i < 100 && info->text().isEmpty(); ++i)
            QCoreApplication::processEvents();
        timer->stop();
    };
    const LocalDateTime start = h.window.clock.now();
    tickAt(start);
    tickAt(start.addHours(6));
    EXPECT_NE(tray->lastNoticeTitle(), u"Tessaro: backup overdue"_s) << "six hours are not more";
    tickAt(start.addHours(6).addMinutes(1));
    EXPECT_EQ(tray->lastNoticeTitle(), u"Tessaro: backup overdue"_s);
    EXPECT_EQ(tray->lastNoticeText(),
              u"backup: overdue, no pass without errors has ended for more than 6 hours (since "_s +
                  start.format(u"dd.mm.yyyy hh:MM") + u")"_s);
    auto* log = h.window.find<ActivityLogView>("LogView");
    EXPECT_EQ(log->toPlainText().count(u"overdue"_s), 1);
    tickAt(start.addHours(9));
    EXPECT_EQ(log->toPlainText().count(u"overdue"_s), 1);
    EXPECT_TRUE(h.waitForPass());
    h.window.form->logic().periodic().ActionStop();
}

} // namespace
} // namespace tessaro
