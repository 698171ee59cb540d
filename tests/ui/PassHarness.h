#pragma once

#include "MainWindowHarness.h"

#include <QDir>
#include <QFile>
#include <QtCore/qtestsupport_core.h>

namespace tessaro::test {

// The main window with a tray, one rule over a source folder with a file,
// and the fake archiver as the archiver. Without a plan the fake makes no
// archive, so the rule fails; goodPasses() makes it write one.
class PassHarness
{
public:
    PassHarness() : window([] { return true; })
    {
        window.showLoaded();
        window.logic().changeSettings(
            [&](TSettings& edited) {
                edited.WinRARLocation = QStringLiteral(TESSARO_FAKE_ARCHIVER);
            },
            false);
        destination = window.data.path() + QStringLiteral("/dest/");
        QDir().mkpath(destination);
        QDir().mkpath(window.data.path() + QStringLiteral("/src"));
        QFile file(window.data.path() + QStringLiteral("/src/file.txt"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("data");
        window.addRule(destination);
        qunsetenv("TESSARO_FAKE_ARCHIVER_PLAN");
    }
    ~PassHarness() { qunsetenv("TESSARO_FAKE_ARCHIVER_PLAN"); }
    PassHarness(const PassHarness&) = delete;
    PassHarness& operator=(const PassHarness&) = delete;

    // From now on the archiver makes its archive, after the extra plan
    // lines (key=value each).
    void goodPasses(const QByteArray& extra = {})
    {
        const QString plan = window.data.path() + QStringLiteral("/plan.txt");
        QFile file(plan);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("exit=0\narchive=made\n" + extra);
        file.close();
        qputenv("TESSARO_FAKE_ARCHIVER_PLAN", plan.toUtf8());
    }
    void failingPasses() { qunsetenv("TESSARO_FAKE_ARCHIVER_PLAN"); }

    // Runs a pass from the menu and lets the event loop run until it ends.
    void backupOnce()
    {
        window.find<QAction>("MenuRunOnce")->trigger();
        EXPECT_TRUE(waitForPass());
    }
    bool waitForPass()
    {
        return QTest::qWaitFor([this] { return !window.logic().pass().isRunning(); }, 30000);
    }

    MainWindowHarness window;
    QString destination;
};

} // namespace tessaro::test
