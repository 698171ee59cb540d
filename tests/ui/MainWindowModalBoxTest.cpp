#include "PassHarness.h"
#include "TestFiles.h"
#include "ui/StatusTextPanel.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tessaro {
namespace {

// Help > About opened while the archiver works: the archiver's end carries
// the pass on to its end while the box is still open. A pass that waited
// for the archiver on the stack would only go on once the box had closed.
TEST(MainWindowModalBox, ThePassEndsWhileAModalBoxStaysOpen)
{
    test::PassHarness h;
    const QString go = h.window.data.path() + u"/go"_s;
    h.goodPasses("wait-for=" + go.toUtf8() + "\n");
    const BackupPass& pass = h.window.logic().pass();

    bool boxSeen = false;
    bool passEndedWithTheBoxOpen = false;
    int rounds = 0;
    // Runs inside the box's own event loop.
    QTimer inTheBox;
    inTheBox.setInterval(1);
    QObject::connect(&inTheBox, &QTimer::timeout, &inTheBox, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box)
            return;
        boxSeen = true;
        // The archiver ends only now, with the box open.
        if (!QFile::exists(go))
            test::writeFile(go, "");
        passEndedWithTheBoxOpen = !pass.isRunning() && box->isVisible();
        // A broken pass would wait for the box: let it go in the end.
        if (passEndedWithTheBoxOpen || ++rounds > 5000) {
            inTheBox.stop();
            box->close();
        }
    });

    h.window.find<QAction>("MenuRunOnce")->trigger();
    // The box opens from an event of its own while the archiver works.
    QTimer::singleShot(0, h.window.form.get(), [&] {
        inTheBox.start();
        h.window.find<QAction>("MenuAbout")->trigger();
    });
    ASSERT_TRUE(h.waitForPass());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !inTheBox.isActive(); }, 30000));

    EXPECT_TRUE(boxSeen);
    EXPECT_TRUE(passEndedWithTheBoxOpen) << "the pass waited for the box to close";
    const QList<PassRecord> history = h.window.logic().history().lastPasses();
    ASSERT_EQ(history.size(), 1);
    EXPECT_FALSE(history.first().stopped);
    EXPECT_EQ(history.first().errors(), 0);
}

// "Stop backup" beside "Backup Once (Now)", in the main menu and the tray
// menu: there while a pass runs, asking before it stops it.
TEST(MainWindowStopBackup, ControlsFollowThePassAndAskBeforeStopping)
{
    test::PassHarness h;
    const QString go = h.window.data.path() + u"/go"_s;
    h.goodPasses("wait-for=" + go.toUtf8() + "\n");
    auto* button = h.window.find<QPushButton>("ButtonStopBackup");
    auto* menu = h.window.find<QAction>("MenuStopBackup");
    ASSERT_NE(button, nullptr);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(button->text(), u"Stop backup"_s);
    EXPECT_FALSE(button->isEnabled());
    EXPECT_FALSE(menu->isEnabled());
    auto* tray = h.window.form->findChild<QSystemTrayIcon*>(u"TrayIcon"_s);
    ASSERT_NE(tray, nullptr);
    QAction* trayStop = tray->contextMenu()->findChild<QAction*>(u"TrayMenuStopBackup"_s);
    ASSERT_NE(trayStop, nullptr);
    EXPECT_FALSE(trayStop->isEnabled());

    h.window.find<QAction>("MenuRunOnce")->trigger();
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(menu->isEnabled());
    EXPECT_TRUE(trayStop->isEnabled());
    auto* progress = h.window.find<StatusTextPanel>("ProgressPanel");
    EXPECT_EQ(progress->text(), u"Backup 1 of 1: "_s + h.window.data.path() + u"/src/ (0 min)"_s);
    EXPECT_EQ(tray->toolTip(), u"Tessaro: "_s + progress->text());

    {
        const test::MessageBoxAnswerer answerer(QMessageBox::Yes);
        button->click();
        ASSERT_TRUE(h.waitForPass());
        EXPECT_EQ(answerer.texts(), QStringList{u"Do you want to stop the running backup?"_s});
    }
    EXPECT_FALSE(button->isEnabled());
    EXPECT_FALSE(menu->isEnabled());
    EXPECT_FALSE(trayStop->isEnabled());
    EXPECT_EQ(progress->text(), QString());
    ASSERT_EQ(h.window.logic().history().lastPasses().size(), 1);
    EXPECT_TRUE(h.window.logic().history().lastPasses().first().stopped);
}

} // namespace
} // namespace tessaro
