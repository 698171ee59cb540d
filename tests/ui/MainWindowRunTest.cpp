#include "EventCounter.h"
#include "FakeArchiverPlan.h"
#include "MainWindowHarness.h"
#include "QtPrinters.h"
#include "TestFiles.h"
#include "ui/ActivityLogView.h"
#include "ui/StatusTextPanel.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTextDocument>
#include <QTimeEdit>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace tessaro {
namespace {

using test::MainWindowHarness;
using test::MessageBoxAnswerer;

class MainWindowRunTest : public ::testing::Test
{
protected:
    void SetUp() override { window.showLoaded(); }

    QAction* action(const char* name)
    {
        auto* found = window.form->findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // Lets the schedule timer tick once.
    void tick()
    {
        auto* timer = window.find<QTimer>("TimerSchedule");
        auto* info = window.find<QLabel>("LabelScheduleInfo");
        info->clear();
        timer->start(0);
        for (int i = 0; i < 100 && info->text().isEmpty(); ++i)
            QCoreApplication::processEvents();
        timer->stop();
    }

    MainWindowHarness window;
};

// Which controls are enabled, and the menu caption, while periodic runs are
// off and while they are on.
void expectRunControls(MainWindowHarness& window, QAction* menu, bool active)
{
    for (const char* name : {"NavButtonRun", "ButtonRun", "ButtonRunOnSchedule", "EditStartTime",
                             "ComboRepeat", "CheckWeekdays"})
        EXPECT_EQ(window.find<QWidget>(name)->isEnabled(), !active) << name;
    for (const char* name : {"NavButtonStop", "ButtonStop", "ButtonStopOnSchedule"})
        EXPECT_EQ(window.find<QWidget>(name)->isEnabled(), active) << name;
    EXPECT_EQ(menu->text(), active ? u"Stop &Periodic Run"_s : u"&Run Periodic"_s);
}

TEST_F(MainWindowRunTest, RunAndStopControlsFollowPeriodicRuns)
{
    window.addRule(window.data.path() + u"/dest/"_s);
    QAction* menu = action("MenuRunPeriodic");
    expectRunControls(window, menu, false);

    // Every way in starts, every way out stops.
    const struct
    {
        const char* start;
        const char* stop;
    } pairs[] = {
        {"ButtonRun", "ButtonStop"},
        {"ButtonRunOnSchedule", "ButtonStopOnSchedule"},
        {"NavButtonRun", "NavButtonStop"},
    };
    for (const auto& pair : pairs) {
        SCOPED_TRACE(pair.start);
        window.find<QAbstractButton>(pair.start)->click();
        expectRunControls(window, menu, true);
        EXPECT_TRUE(window.logic().periodic().isActive());
        window.find<QAbstractButton>(pair.stop)->click();
        expectRunControls(window, menu, false);
        EXPECT_FALSE(window.logic().periodic().isActive());
    }
    menu->trigger();
    expectRunControls(window, menu, true);
    menu->trigger();
    expectRunControls(window, menu, false);
}

TEST_F(MainWindowRunTest, RunWithoutRulesTellsTheUser)
{
    const struct
    {
        const char* control;
        QString title;
        QString text;
    } cases[] = {
        {"NavButtonRun", u"Backup Once (Now)"_s, u"Please add some backup rules first"_s},
        {"ButtonRun", u"Periodic run"_s, u"No backup rules present. Aborting."_s},
        {"ButtonRunOnSchedule", u"Periodic run"_s, u"No backup rules present. Aborting."_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        MessageBoxAnswerer answerer;
        window.find<QAbstractButton>(c.control)->click();
        ASSERT_EQ(answerer.boxes.size(), 1);
        EXPECT_EQ(answerer.boxes.first().title, c.title);
        EXPECT_EQ(answerer.boxes.first().text, c.text);
        EXPECT_FALSE(window.logic().periodic().isActive());
    }
}

TEST_F(MainWindowRunTest, ScheduleInfoAndStatusBarShowThePeriodicRun)
{
    auto* info = window.find<QLabel>("LabelScheduleInfo");
    auto* status = window.find<StatusTextPanel>("StatusPanel");
    tick();
    EXPECT_EQ(info->text(), u"Periodic run is inactive"_s);
    EXPECT_TRUE(status->text().isEmpty());

    window.addRule(window.data.path() + u"/dest/"_s);
    window.find<QPushButton>("ButtonRun")->click();
    tick();
    const QString remaining = PeriodicRunController::RemainingTimeText(
        window.logic().periodic().nextRun(), window.clock.now());
    EXPECT_TRUE(remaining.startsWith(u"Next run: 27.03.2026 "_s)) << remaining.toStdString();
    EXPECT_EQ(info->text(), u"Periodic run is active. "_s + remaining);
    EXPECT_EQ(status->text(), u"   Periodic run. "_s + remaining);
}

// An idle tick sets the status texts to what they show already: the status
// bar is not painted for that, and its painting is never held.
TEST_F(MainWindowRunTest, AnIdleTickThatChangesNoTextPaintsNoStatusBar)
{
    window.addRule(window.data.path() + u"/dest/"_s);
    window.find<QPushButton>("ButtonRun")->click();
    tick();
    QCoreApplication::processEvents();
    auto* bar = window.find<QStatusBar>("StatusBar");
    test::EventCounter paints(QEvent::Paint);
    bar->installEventFilter(&paints);
    for (int n = 0; n < 3; ++n) {
        tick();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(paints.count, 0);
    EXPECT_TRUE(bar->updatesEnabled());
}

// The schedule timer goes on ticking while the pass it started waits for the
// archiver: the schedule page keeps up with the clock, and the due steps do
// not run a second time.
TEST_F(MainWindowRunTest, ScheduleTextsKeepTickingDuringTheScheduledPass)
{
    MainWindowLogic& logic = window.logic();
    test::writeFile(window.data.path() + u"/src/file.txt"_s, "data");
    window.addRule(window.data.path() + u"/dest/"_s);
    QDir().mkpath(window.data.path() + u"/dest"_s);
    logic.changeSettings(
        [&](TSettings& edited) { edited.WinRARLocation = QStringLiteral(TESSARO_FAKE_ARCHIVER); },
        false);
    logic.changeSettings([&](TSettings& edited) { edited.Schedule.PeriodHours = 24; }, false);
    logic.changeSettings([&](TSettings& edited) { edited.Schedule.StartTimeHour = 12; }, false);
    logic.periodic().restoreLastRun(LocalDateTime::fromParts(2026, 3, 26, 12, 0));
    window.clock.set(LocalDateTime::fromParts(2026, 3, 27, 10, 0));
    window.form->logic().periodic().ActionRun(false);
    window.clock.set(LocalDateTime::fromParts(2026, 3, 27, 12, 1));

    const QString go = window.data.path() + u"/go"_s;
    test::FakeArchiverPlan plan;
    plan.archive = QByteArray(16, 'x');
    plan.waitForFile = go;
    const test::ScopedFakeArchiverPlan scoped(window.data.path() + u"/plan.txt"_s, plan);

    // Runs from the event processing of the pass: moves the clock on, then
    // lets the archiver end once a tick has shown the new time, or after
    // enough rounds that no tick is coming.
    auto* info = window.find<QLabel>("LabelScheduleInfo");
    const QString shownLater =
        u"Periodic run is active. Next run: 27.03.2026 12:00, time remaining: 00:03"_s;
    bool clockMoved = false;
    bool seenDuringPass = false;
    int rounds = 0;
    QTimer duringPass;
    QObject::connect(&duringPass, &QTimer::timeout, &duringPass, [&] {
        if (!logic.pass().isRunning())
            return;
        if (!clockMoved) {
            window.clock.set(LocalDateTime::fromParts(2026, 3, 27, 12, 3));
            clockMoved = true;
            return;
        }
        seenDuringPass = info->text() == shownLater;
        if (seenDuringPass || ++rounds > 40) {
            test::writeFile(go, "");
            duringPass.stop();
        }
    });
    duringPass.start(0);

    auto* timer = window.find<QTimer>("TimerSchedule");
    timer->start(0);
    for (int i = 0; i < 10000 && logic.periodic().lastRun().day() != 27; ++i)
        QCoreApplication::processEvents();
    for (int i = 0; i < 10000 && logic.pass().isRunning(); ++i)
        QCoreApplication::processEvents();
    timer->stop();

    EXPECT_TRUE(seenDuringPass) << "the label stood still during the pass";

    EXPECT_FALSE(logic.pass().isRunning());
    QString logged;
    for (const QString& name : QDir(logic.log().logFolder()).entryList(QDir::Files))
        logged += QString::fromUtf8(test::readFile(logic.log().logFolder() + name));
    EXPECT_EQ(logged.count(u"starting backup per schedule"_s), 1) << logged.toStdString();
    EXPECT_EQ(logged.count(u"Backup already in progress"_s), 0);
    EXPECT_EQ(logic.periodic().nextRun(), LocalDateTime::fromParts(2026, 3, 28, 12, 0));
}

// F1 works wherever the focus is, once per release of the key.
TEST_F(MainWindowRunTest, F1FromAnyControlOpensTheManual)
{
    for (const char* name : {"EditWebhook", "ListViewBackupRules", "ComboRepeat", "LogView"}) {
        SCOPED_TRACE(name);
        auto* widget = window.find<QWidget>(name);
        widget->setEnabled(true);
        widget->setFocus();
        MessageBoxAnswerer answerer;
        QTest::keyClick(widget, Qt::Key_F1);
        QTest::keyClick(widget, Qt::Key_F1, Qt::ShiftModifier);
        ASSERT_EQ(answerer.boxes.size(), 2);
        EXPECT_EQ(answerer.boxes.first().title, u"Help"_s);
        EXPECT_EQ(answerer.boxes.first().text, u"Unable to find documentation pdf file"_s);
    }

    // Other keys, and F1 in a window of its own, are not the main window's.
    QLineEdit elsewhere;
    MessageBoxAnswerer answerer;
    QTest::keyClick(window.find<QWidget>("EditWebhook"), Qt::Key_F2);
    QTest::keyClick(&elsewhere, Qt::Key_F1);
    EXPECT_TRUE(answerer.boxes.isEmpty());
}

TEST_F(MainWindowRunTest, HelpMenuOpensTheManualAndTheAboutDialog)
{
    MessageBoxAnswerer answerer;
    action("MenuHelp")->trigger();
    EXPECT_EQ(answerer.texts(), QStringList{u"Unable to find documentation pdf file"_s});

    QString aboutTitle;
    QTimer::singleShot(0, [&aboutTitle] {
        if (QWidget* about = QApplication::activeModalWidget()) {
            aboutTitle = about->windowTitle();
            about->close();
        }
    });
    action("MenuAbout")->trigger();
    EXPECT_EQ(aboutTitle, u"About"_s);
}

// A click on a path in the log view reaches the log, which reports a path
// that is gone.
TEST_F(MainWindowRunTest, ClickOnALogLinkReachesTheLog)
{
    const QString missing = window.data.path() + u"/gone/archive.rar"_s;
    window.form->logic().log().LogInfo(u"backup: see \""_s + missing + u"\""_s);

    auto* log = window.find<ActivityLogView>("LogView");
    const QRect line = log->lineRect(log->lineCount() - 1);
    QPoint where;
    for (int x = line.left(); x < line.right() && where.isNull(); ++x) {
        if (log->anchorAt(QPoint(x, line.center().y())) == missing)
            where = QPoint(x, line.center().y());
    }
    ASSERT_FALSE(where.isNull()) << "the path is a link in the view";

    MessageBoxAnswerer answerer;
    QTest::mouseClick(log->viewport(), Qt::LeftButton, {}, where);
    ASSERT_EQ(answerer.boxes.size(), 1);
    EXPECT_EQ(answerer.boxes.first().title, u"Error"_s);
    EXPECT_EQ(answerer.boxes.first().text, u"The file \""_s + missing + u"\" cannot be found"_s);
}

// The tray menu's Exit is the main menu's Exit: both refuse while a pass
// runs.
TEST_F(MainWindowRunTest, BothExitItemsRefuseWhileAPassRuns)
{
    const BackupPass::Running running(window.logic().pass());
    auto* trayMenu = window.form->findChild<QSystemTrayIcon*>(u"TrayIcon"_s)->contextMenu();
    ASSERT_NE(trayMenu, nullptr);
    QAction* trayExit = trayMenu->findChild<QAction*>(u"TrayMenuExit"_s);
    ASSERT_NE(trayExit, nullptr);
    EXPECT_EQ(trayExit->text(), u"E&xit"_s);

    for (QAction* exit : {action("MenuExit"), trayExit}) {
        MessageBoxAnswerer answerer;
        exit->trigger();
        ASSERT_EQ(answerer.boxes.size(), 1);
        EXPECT_EQ(answerer.boxes.first().title, u"Exit"_s);
        EXPECT_EQ(answerer.boxes.first().text,
                  u"You cannot exit the program right now because there is a backup process "
                  u"running"_s);
    }
    EXPECT_TRUE(window.form->isVisible());
}

} // namespace
} // namespace tessaro
