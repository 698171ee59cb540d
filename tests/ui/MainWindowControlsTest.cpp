#include "ArchiverNames.h"
#include "MainWindowHarness.h"
#include "QtPrinters.h"
#include "ui/ActivityLogView.h"
#include "ui/StatusTextPanel.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTabWidget>
#include <QTimeEdit>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace tessaro {
namespace {

using test::MainWindowHarness;

// The window as it is right after its creation, before the configuration
// is loaded.
class MainWindowControlsTest : public ::testing::Test
{
protected:
    MainWindowHarness window;
};

TEST_F(MainWindowControlsTest, ButtonsAndBoxesHaveTheirCaptionsAndStartStates)
{
    struct Case
    {
        const char* name;
        QString caption;
        bool enabled;
        bool checked;
    };
    const QString quote = u"\""_s;
    const Case cases[] = {
        {"ButtonAddRule", u"Add"_s, true, false},
        {"ButtonEditRule", u"Edit"_s, false, false},
        {"ButtonDeleteRule", u"Delete"_s, false, false},
        {"ButtonRun", u"Run"_s, true, false},
        {"ButtonStop", u"Stop"_s, false, false},
        {"ButtonRunOnce", u"Backup Once (Now)"_s, true, false},
        {"ButtonRunOnSchedule", u"Run"_s, true, false},
        {"ButtonStopOnSchedule", u"Stop"_s, false, false},
        {"ButtonScanForWinRAR", u"Scan"_s, true, false},
        {"CheckWebhook", u"Call URL after backup:"_s, true, false},
        {"CheckIncludeLog", u"Include log data"_s, false, false},
        {"CheckMinimizeToTray", u"Minimize to tray"_s, true, false},
        {"CheckExitAfterBackupOnce",
         u"Exit program after each "_s + quote + u"Backup once"_s + quote, true, false},
        {"CheckBackupOnStart",
         u"Run "_s + quote + u"Backup once"_s + quote + u" on program start, minimize afterwards"_s,
         true, false},
        {"CheckUpdateMode", u"Backup only updated or new files"_s, true, false},
        {"CheckNumThreads", u"Number of threads:"_s, true, false},
        {"CheckWinRARLogfile", u"Write "_s + test::windowArchiverName() + u" error logfile:"_s,
         true, false},
        {"CheckAutoClean", u"Auto clean:"_s, false, false},
        {"RadioNumFiles", u"Limit by number of files:"_s, false, false},
        {"RadioDiskUsage", u"Limit by disk usage (GB):"_s, false, false},
        {"RadioCompressionBest", u"Best"_s, true, false},
        {"RadioCompressionGood", u"Good"_s, true, false},
        {"RadioCompressionNormal", u"Normal"_s, true, true},
        {"RadioCompressionFast", u"Fast"_s, true, false},
        {"RadioCompressionFastest", u"Fastest"_s, true, false},
        {"RadioCompressionStore", u"Store (No Compression)"_s, true, false},
        {"RadioStorePathsRelative", u"Relative paths"_s, true, false},
        {"RadioStorePathsFull", u"Full paths"_s, true, true},
        {"RadioStorePathsDrive", u"Full paths + drive letter"_s, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* button = window.find<QAbstractButton>(c.name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), c.caption);
        EXPECT_EQ(button->isEnabled(), c.enabled);
        EXPECT_EQ(button->isChecked(), c.checked);
    }
}

TEST_F(MainWindowControlsTest, LabelsAndTextFields)
{
    const struct
    {
        const char* name;
        QString text;
    } labels[] = {
        {"LabelBackupRules", u"Backup Rules:"_s},
        {"LabelStartTime", u"Start time:"_s},
        {"LabelRepeat", u"Repeat every:"_s},
        {"LabelWeekdays", u"Weekdays:"_s},
        {"Label1", u"Auto clean settings for destination:"_s},
        {"LabelWinRARLocation", test::windowArchiverName() + u" location:"_s},
        {"LabelArchiveFormat", u"Archive format:"_s},
        {"LabelCompression", u"Compression:"_s},
        {"LabelStorePaths", u"Store paths:"_s},
        {"LabelActivityLog", u"Activity log:"_s},
    };
    for (const auto& label : labels) {
        SCOPED_TRACE(label.name);
        auto* widget = window.find<QLabel>(label.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->text(), label.text);
    }
    EXPECT_EQ(window.find<QLabel>("LabelScheduleInfo")->alignment() & Qt::AlignHCenter,
              Qt::AlignHCenter);

    const struct
    {
        const char* name;
        bool enabled;
    } edits[] = {
        {"EditWebhook", false},
        {"EditWinRARLocation", true},
        {"EditWinRARLogFile", true},
    };
    for (const auto& edit : edits) {
        SCOPED_TRACE(edit.name);
        auto* widget = window.find<QLineEdit>(edit.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget->text().isEmpty());
        EXPECT_EQ(widget->isEnabled(), edit.enabled);
    }
}

QStringList itemsOf(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

TEST_F(MainWindowControlsTest, DropDownsListTheirItems)
{
    const struct
    {
        const char* name;
        QStringList items;
        QString current;
        bool enabled;
    } cases[] = {
        {"ComboRepeat",
         {u"4 Hours"_s, u"6 Hours"_s, u"8 Hours"_s, u"12 Hours"_s, u"Day"_s, u"2 Days"_s,
          u"3 Days"_s, u"4 Days"_s, u"5 Days"_s, u"6 Days"_s, u"Week"_s, u"Two Weeks"_s},
         u"4 Hours"_s,
         true},
        {"ComboArchiveFormat", {u"RAR"_s, u"RAR4 (Compatible)"_s, u"ZIP"_s}, u"RAR"_s, true},
        {"ComboAutoCleanDestinationFolders", {}, QString(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto* combo = window.find<QComboBox>(c.name);
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(itemsOf(combo), c.items);
        EXPECT_EQ(combo->currentText(), c.current);
        EXPECT_FALSE(combo->isEditable());
        EXPECT_EQ(combo->isEnabled(), c.enabled);
    }
}

TEST_F(MainWindowControlsTest, NumberFieldsHaveTheirRangesAndDefaults)
{
    const struct
    {
        const char* name;
        int minimum, maximum, value;
        bool enabled;
    } cases[] = {
        {"SpinNumThreads", 1, 64, 2, false},
        {"SpinNumFiles", 1, 1000, 10, false},
        {"SpinDiskUsage", 1, 1000, 5, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto* spin = window.find<QSpinBox>(c.name);
        ASSERT_NE(spin, nullptr);
        EXPECT_EQ(spin->minimum(), c.minimum);
        EXPECT_EQ(spin->maximum(), c.maximum);
        EXPECT_EQ(spin->value(), c.value);
        EXPECT_EQ(spin->isEnabled(), c.enabled);
    }
}

TEST_F(MainWindowControlsTest, ScheduleFields)
{
    auto* time = window.find<QTimeEdit>("EditStartTime");
    EXPECT_EQ(time->displayFormat(), u"HH:mm"_s);
    EXPECT_EQ(time->time(), QTime(12, 0));
    EXPECT_EQ(time->text(), u"12:00"_s);

    auto* weekdays = window.find<QListWidget>("CheckWeekdays");
    const QStringList days = {u"Mondays"_s, u"Tuesdays"_s,  u"Wednesdays"_s, u"Thursdays"_s,
                              u"Fridays"_s, u"Saturdays"_s, u"Sundays"_s};
    ASSERT_EQ(weekdays->count(), days.size());
    for (int i = 0; i < weekdays->count(); ++i) {
        EXPECT_EQ(weekdays->item(i)->text(), days.at(i));
        EXPECT_EQ(weekdays->item(i)->checkState(), Qt::Checked);
    }
}

TEST_F(MainWindowControlsTest, NavigationButtonsAreImageButtonsOutOfTheTabOrder)
{
    const struct
    {
        const char* name;
        QString hint;
        bool enabled;
    } cases[] = {
        {"NavButtonSettings", u"Settings"_s, true},
        {"NavButtonRun", u"Run"_s, true},
        {"NavButtonStop", u"Stop"_s, false},
        {"NavButtonRunOnce", u"Backup Once (Now)"_s, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto* button = window.find<QToolButton>(c.name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->toolTip(), c.hint);
        EXPECT_EQ(button->isEnabled(), c.enabled);
        EXPECT_EQ(button->size(), QSize(42, 42));
        EXPECT_EQ(button->iconSize(), QSize(32, 32));
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
        EXPECT_TRUE(button->text().isEmpty());
    }
    window.find<QToolButton>("NavButtonSettings")->click();
    EXPECT_EQ(window.find<QTabWidget>("MainPageControl")->currentIndex(), 2);
}

TEST_F(MainWindowControlsTest, PagesAreFlatTabsWithBackupFirst)
{
    auto* tabs = window.find<QTabWidget>("MainPageControl");
    const QStringList captions = {u"Backup"_s, u"Schedule"_s, u"Settings"_s,
                                  test::archiverTabTitle()};
    ASSERT_EQ(tabs->count(), captions.size());
    for (int i = 0; i < tabs->count(); ++i) {
        EXPECT_EQ(tabs->tabText(i), captions.at(i));
        EXPECT_EQ(tabs->tabBar()->tabRect(i).size(), QSize(80, 34)) << i;
    }
    EXPECT_EQ(tabs->currentIndex(), 0);
}

TEST_F(MainWindowControlsTest, WindowFrameLogViewAndStatusBar)
{
    window.showLoaded();
    TMainForm& form = *window.form;
    EXPECT_EQ(form.windowTitle(), u"Tessaro v1.60327"_s);
    EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "the window is not resizable";
    EXPECT_EQ(form.centralWidget()->height() + form.statusBar()->height(), 609);
    EXPECT_EQ(form.width(), 614);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);

    auto* log = window.find<ActivityLogView>("LogView");
    EXPECT_EQ(log->height(), 146);
    EXPECT_EQ(log->toPlainText().trimmed(), u"27.03.2026 14:05:09 [I] Tessaro version 1.60327"_s);
    EXPECT_GE(window.find<StatusTextPanel>("StatusPanel")->width(), 300);
    EXPECT_TRUE(window.find<StatusTextPanel>("StatusPanel")->text().isEmpty());
    EXPECT_EQ(window.find<QToolButton>("Image1")->size(), QSize(21, 20));
}

TEST_F(MainWindowControlsTest, MenusHoldTheirItemsInOrder)
{
    const struct
    {
        QString title;
        QStringList items;
    } menus[] = {
        {u"&Action"_s,
         {u"Run &Once"_s, u"Stop &backup"_s, u"&Run Periodic"_s, u"-"_s, u"&Settings"_s,
          u"&History"_s, u"Open &log file"_s, u"-"_s, u"E&xit"_s}},
        {u"&Help"_s, {u"Hel&p"_s, u"&Homepage"_s, u"&About"_s}},
    };
    const QList<QAction*> bar = window.form->menuBar()->actions();
    ASSERT_EQ(bar.size(), 2);
    for (int m = 0; m < 2; ++m) {
        EXPECT_EQ(bar.at(m)->text(), menus[m].title);
        QStringList items;
        for (const QAction* action : bar.at(m)->menu()->actions())
            items.append(action->isSeparator() ? u"-"_s : action->text());
        EXPECT_EQ(items, menus[m].items);
    }

    window.form->findChild<QAction*>(u"MenuSettings"_s)->trigger();
    EXPECT_EQ(window.find<QTabWidget>("MainPageControl")->currentIndex(), 2);
}

// Every control the logic names reaches a widget or menu item of that name.
TEST_F(MainWindowControlsTest, EveryNamedControlReachesItsWidget)
{
    const struct
    {
        Control control;
        const char* name;
    } controls[] = {
        {Control::ButtonRunOnce, "ButtonRunOnce"},
        {Control::NavButtonRunOnce, "NavButtonRunOnce"},
        {Control::MenuRunOnce, "MenuRunOnce"},
        {Control::ButtonStopBackup, "ButtonStopBackup"},
        {Control::MenuStopBackup, "MenuStopBackup"},
        {Control::TrayMenuStopBackup, "TrayMenuStopBackup"},
        {Control::SchedulePagePanel, "SchedulePagePanel"},
        {Control::NavButtonRun, "NavButtonRun"},
        {Control::ButtonRun, "ButtonRun"},
        {Control::ButtonRunOnSchedule, "ButtonRunOnSchedule"},
        {Control::NavButtonStop, "NavButtonStop"},
        {Control::ButtonStop, "ButtonStop"},
        {Control::ButtonStopOnSchedule, "ButtonStopOnSchedule"},
        {Control::MenuRunPeriodic, "MenuRunPeriodic"},
        {Control::EditStartTime, "EditStartTime"},
        {Control::ComboRepeat, "ComboRepeat"},
        {Control::CheckWeekdays, "CheckWeekdays"},
        {Control::LabelScheduleInfo, "LabelScheduleInfo"},
        {Control::EditWebhook, "EditWebhook"},
        {Control::CheckIncludeLog, "CheckIncludeLog"},
        {Control::SpinNumThreads, "SpinNumThreads"},
        {Control::AutoCleanPanel, "AutoCleanPanel"},
        {Control::CheckAutoClean, "CheckAutoClean"},
        {Control::RadioNumFiles, "RadioNumFiles"},
        {Control::RadioDiskUsage, "RadioDiskUsage"},
        {Control::SpinNumFiles, "SpinNumFiles"},
        {Control::SpinDiskUsage, "SpinDiskUsage"},
        {Control::ComboAutoCleanDestinationFolders, "ComboAutoCleanDestinationFolders"},
    };
    ASSERT_EQ(int(std::size(controls)), int(Control::ComboAutoCleanDestinationFolders) + 1);
    for (const auto& entry : controls) {
        SCOPED_TRACE(entry.name);
        const QString name = QString::fromLatin1(entry.name);
        QObject* object = window.form->findChild<QObject*>(name);
        // The tray's menu has no parent in the window.
        if (auto* tray = window.form->findChild<QSystemTrayIcon*>(); !object && tray)
            object = tray->contextMenu()->findChild<QObject*>(name);
        ASSERT_NE(object, nullptr);
        for (const bool enabled : {false, true}) {
            window.form->setControlEnabled(entry.control, enabled);
            if (auto* widget = qobject_cast<QWidget*>(object))
                EXPECT_EQ(widget->isEnabled(), enabled);
            else
                EXPECT_EQ(qobject_cast<QAction*>(object)->isEnabled(), enabled);
        }
    }

    window.form->setControlText(Control::LabelScheduleInfo, u"Periodic run is inactive"_s);
    EXPECT_EQ(window.find<QLabel>("LabelScheduleInfo")->text(), u"Periodic run is inactive"_s);
    window.form->setControlText(Control::MenuRunPeriodic, u"Stop &Periodic Run"_s);
    EXPECT_EQ(window.form->findChild<QAction*>(u"MenuRunPeriodic"_s)->text(),
              u"Stop &Periodic Run"_s);
}

} // namespace
} // namespace tessaro
