#include "MainWindowHarness.h"
#include "ui/ActivityLogView.h"

#include <QMenu>
#include <QMoveEvent>
#include <QScrollArea>
#include <QStatusBar>
#include <QSystemTrayIcon>

#include <functional>

using namespace Qt::StringLiterals;

namespace tessaro {
namespace {

using test::MainWindowHarness;

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

struct TrayCase
{
    const char* name;
    bool trayAvailable;
    bool minimizeToTray;
    // Where the window goes: hidden with the tray icon shown, or to the
    // task bar with the tray icon hidden.
    bool toTray;
};

class MinimizeTest : public ::testing::TestWithParam<TrayCase>
{
protected:
    MinimizeTest() : window([] { return GetParam().trayAvailable; }) {}
    void SetUp() override
    {
        window.showLoaded();
        window.logic().changeSettings(
            [&](TSettings& edited) { edited.MinimizeToTray = GetParam().minimizeToTray; }, false);
        tray = window.form->findChild<QSystemTrayIcon*>(u"TrayIcon"_s);
        ASSERT_NE(tray, nullptr);
        EXPECT_FALSE(tray->isVisible());
    }

    void expectMinimized()
    {
        settle();
        EXPECT_TRUE(window.form->isMinimized());
        EXPECT_EQ(window.form->isVisible(), !GetParam().toTray);
        EXPECT_EQ(tray->isVisible(), GetParam().toTray);
    }

    void expectNormal()
    {
        settle();
        EXPECT_TRUE(window.form->isVisible());
        EXPECT_FALSE(window.form->isMinimized());
        EXPECT_FALSE(tray->isVisible());
    }

    MainWindowHarness window;
    QSystemTrayIcon* tray = nullptr;
};

TEST_P(MinimizeTest, MinimizeButtonAndTheStartUpMinimize)
{
    window.form->showMinimized();
    expectMinimized();
    window.form->showNormal();
    expectNormal();

    // The minimize after the backup on start takes the same way.
    window.form->minimize();
    expectMinimized();
}

INSTANTIATE_TEST_SUITE_P(
    Tray, MinimizeTest,
    ::testing::Values(TrayCase{"ToTray", true, true, true},
                      TrayCase{"TrayOptionOff", true, false, false},
                      // Hiding the window without a tray would leave no way back.
                      TrayCase{"NoTrayOnThisDesktop", false, true, false},
                      TrayCase{"NoTrayAndOptionOff", false, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TrayRestore, IconClickAndOpenBringTheWindowBack)
{
    MainWindowHarness window([] { return true; });
    window.showLoaded();
    window.logic().changeSettings([&](TSettings& edited) { edited.MinimizeToTray = true; }, false);
    auto* tray = window.form->findChild<QSystemTrayIcon*>(u"TrayIcon"_s);
    QAction* open = tray->contextMenu()->findChild<QAction*>(u"TrayMenuOpen"_s);
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->text(), u"&Open"_s);

    const std::function<void()> restores[] = {
        [tray] { Q_EMIT tray->activated(QSystemTrayIcon::Trigger); },
        [open] { open->trigger(); },
    };
    for (const auto& restore : restores) {
        window.form->showMinimized();
        settle();
        ASSERT_FALSE(window.form->isVisible());
        ASSERT_TRUE(tray->isVisible());
        restore();
        settle();
        EXPECT_TRUE(window.form->isVisible());
        EXPECT_FALSE(window.form->isMinimized());
        EXPECT_FALSE(tray->isVisible());
    }
    // Coming back from the tray does not load the configuration again.
    EXPECT_EQ(window.form->logic().log().captureText().count(u"Tessaro version"_s), 1);
}

class WindowPositionTest : public ::testing::Test
{
protected:
    void SetUp() override { window.showLoaded(); }

    void moveTo(QPoint where)
    {
        window.form->move(where);
        settle();
    }

    MainWindowHarness window;
};

TEST_F(WindowPositionTest, LoadWithoutStoredPositionCentresAndKeepsIt)
{
    const QPoint centred = WindowPlacement::DefaultWindowPosition(window.form->screenGeometry());
    EXPECT_EQ(window.logic().placement().lastPos().topLeft(), centred);
    EXPECT_EQ(window.logic().placement().lastPos().size(), window.form->frameGeometry().size());
}

TEST_F(WindowPositionTest, MovesAreRememberedOnlyOnceLoaded)
{
    moveTo({40, 30});
    EXPECT_EQ(window.logic().placement().lastPos(),
              QRect(QPoint(40, 30), window.form->frameGeometry().size()));
    EXPECT_FALSE(window.logic().placement().lastMax());

    // Before the configuration is loaded the window is being placed, not
    // moved by the user.
    test::MainWindowHarness unloaded;
    unloaded.logic().windowMoved(QRect(70, 60, 700, 700), false);
    unloaded.logic().windowResized(QRect(70, 60, 700, 700), true);
    EXPECT_TRUE(unloaded.logic().placement().lastPos().isNull());
    EXPECT_FALSE(unloaded.logic().placement().lastMax());
}

TEST_F(WindowPositionTest, MaximizeKeepsTheNormalPosition)
{
    moveTo({40, 30});
    window.form->showMaximized();
    settle();
    EXPECT_TRUE(window.logic().placement().lastMax());
    EXPECT_EQ(window.logic().placement().lastPos().topLeft(), QPoint(40, 30));

    // A maximized window moved by the desktop, say to another screen.
    ASSERT_TRUE(window.form->isMaximized());
    QMoveEvent moved(QPoint(900, 0), window.form->pos());
    QApplication::sendEvent(window.form.get(), &moved);
    EXPECT_EQ(window.logic().placement().lastPos().topLeft(), QPoint(40, 30));

    window.form->showNormal();
    settle();
    EXPECT_FALSE(window.logic().placement().lastMax());
}

// The window always fits the screen's work area, title bar to status bar;
// where the described size fits, it keeps it. On a small screen the log
// gives up height first and the pages scroll, so that every control stays
// reachable.
TEST(MainWindowScreen, TheWindowFitsTheWorkAreaAndKeepsItsSizeWhereItFits)
{
    const struct
    {
        const char* name;
        QRect workArea;
        bool described;
    } cases[] = {
        {"laptop", QRect(0, 0, 1366, 728), true},
        {"small screen under a panel", QRect(0, 24, 1024, 576), false},
        {"scaled by two", QRect(0, 0, 640, 380), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QRect area = c.workArea;
        MainWindowHarness window([] { return false; }, nativePathStyle(), [area] { return area; });
        window.showLoaded();
        settle();
        TMainForm& form = *window.form;
        EXPECT_TRUE(area.contains(form.frameGeometry()))
            << form.frameGeometry().top() << " " << form.frameGeometry().height();
        EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "not resizable";
        auto* log = window.find<ActivityLogView>("LogView");
        if (c.described) {
            EXPECT_EQ(form.width(), 614);
            EXPECT_EQ(form.centralWidget()->height() + form.statusBar()->height(), 609);
            EXPECT_EQ(log->height(), ActivityLogView::Height);
            continue;
        }
        EXPECT_LT(log->height(), ActivityLogView::Height);
        EXPECT_GE(log->height(), ActivityLogView::LeastHeight);
        EXPECT_TRUE(form.statusBar()->isVisible());
        EXPECT_LE(form.statusBar()->geometry().bottom(), form.height() - 1);
        // The last control of the longest page can be scrolled into sight.
        auto* page = window.find<QScrollArea>("TabArchiverScroll");
        auto* last = window.find<QWidget>("SpinNumThreads");
        window.find<QTabWidget>("MainPageControl")->setCurrentWidget(page);
        settle();
        page->ensureWidgetVisible(last);
        const QPoint inPage = last->mapTo(page->viewport(), QPoint(0, 0));
        EXPECT_TRUE(page->viewport()->rect().contains(inPage)) << inPage.y();
    }
}

} // namespace
} // namespace tessaro
