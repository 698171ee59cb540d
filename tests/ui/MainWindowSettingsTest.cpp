#include "MainWindowHarness.h"
#include "QtPrinters.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimeEdit>

#include <functional>

using namespace Qt::StringLiterals;

namespace tessaro {
namespace {

using test::MainWindowHarness;

class MainWindowSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override { window.showLoaded(); }

    const TSettings& settings() { return window.logic().settings().settings(); }
    QCheckBox* box(const char* name) { return window.find<QCheckBox>(name); }

    MainWindowHarness window;
};

// Each control writes its own field at once.
TEST_F(MainWindowSettingsTest, EveryControlWritesItsField)
{
    struct Case
    {
        const char* what;
        std::function<void(MainWindowHarness&)> act;
        std::function<bool(const TSettings&)> stored;
    };
    const auto check = [](const char* name) {
        return [name](MainWindowHarness& w) {
            w.find<QCheckBox>(name)->click();
        };
    };
    const auto radio = [](const char* name) {
        return [name](MainWindowHarness& w) {
            w.find<QRadioButton>(name)->click();
        };
    };
    const Case cases[] = {
        {"CheckWebhook", check("CheckWebhook"),
         [](auto& s) {
             return s.CallWebHook;
         }},
        {"CheckMinimizeToTray", check("CheckMinimizeToTray"),
         [](auto& s) {
             return s.MinimizeToTray;
         }},
        {"CheckUpdateMode", check("CheckUpdateMode"),
         [](auto& s) {
             return s.UpdateMode;
         }},
        {"CheckNumThreads", check("CheckNumThreads"),
         [](auto& s) {
             return s.UseNumThreads;
         }},
        {"CheckWinRARLogfile", check("CheckWinRARLogfile"),
         [](auto& s) {
             return s.UseWinRARLogFile;
         }},
        {"EditWebhook",
         [](MainWindowHarness& w) {
             w.find<QLineEdit>("EditWebhook")->setEnabled(true);
             QTest::keyClicks(w.find<QLineEdit>("EditWebhook"), u"http://127.0.0.1/x"_s);
         },
         [](auto& s) {
             return s.WebHookURL == u"http://127.0.0.1/x"_s;
         }},
        {"EditWinRARLocation",
         [](MainWindowHarness& w) {
             w.find<QLineEdit>("EditWinRARLocation")->setText(u"/opt/rar"_s);
         },
         [](auto& s) {
             return s.WinRARLocation == u"/opt/rar"_s;
         }},
        {"EditWinRARLogFile",
         [](MainWindowHarness& w) {
             w.find<QLineEdit>("EditWinRARLogFile")->setText(u"/var/log"_s);
         },
         [](auto& s) {
             return s.WinRARLogFile == u"/var/log"_s;
         }},
        {"ComboArchiveFormat",
         [](MainWindowHarness& w) { w.find<QComboBox>("ComboArchiveFormat")->setCurrentIndex(2); },
         [](auto& s) {
             return s.ArchiveFormat == TArchiveFormat::Zip;
         }},
        {"RadioCompressionStore", radio("RadioCompressionStore"),
         [](auto& s) {
             return s.Compression == TCompression::Store;
         }},
        {"RadioCompressionBest", radio("RadioCompressionBest"),
         [](auto& s) {
             return s.Compression == TCompression::Best;
         }},
        {"RadioStorePathsDrive", radio("RadioStorePathsDrive"),
         [](auto& s) {
             return s.StorePaths == TStorePaths::FullWithDrive;
         }},
        {"RadioStorePathsRelative", radio("RadioStorePathsRelative"),
         [](auto& s) {
             return s.StorePaths == TStorePaths::Relative;
         }},
        {"SpinNumThreads",
         [](MainWindowHarness& w) { w.find<QSpinBox>("SpinNumThreads")->setValue(7); },
         [](auto& s) {
             return s.NumThreads == 7;
         }},
        {"EditStartTime",
         [](MainWindowHarness& w) { w.find<QTimeEdit>("EditStartTime")->setTime(QTime(6, 45)); },
         [](auto& s) {
             return s.Schedule.StartTimeHour == 6 && s.Schedule.StartTimeMinute == 45;
         }},
        {"ComboRepeat",
         [](MainWindowHarness& w) { w.find<QComboBox>("ComboRepeat")->setCurrentIndex(10); },
         [](auto& s) {
             return s.Schedule.PeriodHours == 168;
         }},
        {"CheckWeekdays",
         [](MainWindowHarness& w) {
             w.find<QListWidget>("CheckWeekdays")->item(2)->setCheckState(Qt::Unchecked);
         },
         [](auto& s) {
             return s.Schedule.weekdays() ==
                    std::array<bool, 7>{true, true, false, true, true, true, true};
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.act(window);
        EXPECT_TRUE(c.stored(settings()));
    }
}

TEST_F(MainWindowSettingsTest, TheSettingsUpdateKeepsDependentControlsInStep)
{
    auto* url = window.find<QLineEdit>("EditWebhook");
    auto* includeLog = box("CheckIncludeLog");
    auto* threads = window.find<QSpinBox>("SpinNumThreads");
    auto* weekdays = window.find<QListWidget>("CheckWeekdays");
    auto* repeat = window.find<QComboBox>("ComboRepeat");

    box("CheckWebhook")->click();
    EXPECT_TRUE(url->isEnabled());
    EXPECT_TRUE(includeLog->isEnabled());
    box("CheckWebhook")->click();
    EXPECT_FALSE(url->isEnabled());
    EXPECT_FALSE(includeLog->isEnabled());

    box("CheckNumThreads")->click();
    EXPECT_TRUE(threads->isEnabled());

    // Weekdays only count while a period fits into one day.
    const struct
    {
        QString item;
        bool weekdaysEnabled;
    } periods[] = {{u"2 Days"_s, false}, {u"Day"_s, true},      {u"Two Weeks"_s, false},
                   {u"4 Hours"_s, true}, {u"12 Hours"_s, true}, {u"Week"_s, false}};
    for (const auto& period : periods) {
        repeat->setCurrentText(period.item);
        EXPECT_EQ(weekdays->isEnabled(), period.weekdaysEnabled) << period.item.toStdString();
    }
}

TEST_F(MainWindowSettingsTest, ShowingTheRecordWritesNothingBack)
{
    TSettings shown;
    shown.CallWebHook = true;
    shown.WebHookURL = u"https://127.0.0.1/hook"_s;
    shown.ExitAfterBackupOnce = true;
    shown.BackupOnStart = true;
    shown.WinRARLocation = u"/opt/rar/rar"_s;
    shown.ArchiveFormat = TArchiveFormat::Rar4;
    shown.Compression = TCompression::Fastest;
    shown.StorePaths = TStorePaths::Relative;
    shown.UseNumThreads = true;
    shown.NumThreads = 9;
    shown.Schedule.StartTimeHour = 23;
    shown.Schedule.StartTimeMinute = 59;
    shown.Schedule.PeriodHours = 336;
    shown.Schedule.setWeekdays({false, true, false, true, false, true, false});
    window.logic().changeSettings([&](TSettings& edited) { edited = shown; }, false);

    window.form->refreshSettings();

    // Filling the weekday list one day at a time must not store the days
    // still unfilled, nor may the two backup-once boxes untick each other.
    EXPECT_EQ(settings(), shown);
    EXPECT_TRUE(box("CheckExitAfterBackupOnce")->isChecked());
    EXPECT_TRUE(box("CheckBackupOnStart")->isChecked());
    EXPECT_EQ(window.find<QLineEdit>("EditWinRARLocation")->text(), u"/opt/rar/rar"_s);
    EXPECT_EQ(window.find<QComboBox>("ComboRepeat")->currentText(), u"Two Weeks"_s);
    EXPECT_EQ(window.find<QTimeEdit>("EditStartTime")->text(), u"23:59"_s);
    EXPECT_TRUE(window.find<QRadioButton>("RadioCompressionFastest")->isChecked());
    EXPECT_EQ(window.find<QSpinBox>("SpinNumThreads")->value(), 9);
    // Showing is not a settings update: enabled states wait for one.
    EXPECT_FALSE(window.find<QLineEdit>("EditWebhook")->isEnabled());
}

TEST_F(MainWindowSettingsTest, BackupOnceBoxesExcludeEachOther)
{
    auto* exitAfter = box("CheckExitAfterBackupOnce");
    auto* onStart = box("CheckBackupOnStart");

    onStart->click();
    EXPECT_TRUE(onStart->isChecked());
    exitAfter->click();
    EXPECT_TRUE(exitAfter->isChecked());
    EXPECT_FALSE(onStart->isChecked());
    EXPECT_TRUE(settings().ExitAfterBackupOnce);
    EXPECT_FALSE(settings().BackupOnStart);

    onStart->click();
    EXPECT_FALSE(exitAfter->isChecked());
    EXPECT_TRUE(settings().BackupOnStart);
    EXPECT_FALSE(settings().ExitAfterBackupOnce);

    // Unticking one leaves both unticked.
    onStart->click();
    EXPECT_FALSE(onStart->isChecked());
    EXPECT_FALSE(exitAfter->isChecked());
    EXPECT_FALSE(settings().BackupOnStart);
    EXPECT_FALSE(settings().ExitAfterBackupOnce);

    // The program setting a box counts as a click as well.
    exitAfter->setChecked(true);
    onStart->setChecked(true);
    EXPECT_FALSE(exitAfter->isChecked());
    EXPECT_TRUE(settings().BackupOnStart);
}

TEST(MainWindowSettingsLoad, StoredBackupOnceOptionsAreTakenAsTheyStand)
{
    MainWindowHarness window;
    window.showLoaded("ExitAfterBackupOnce=1\r\nBackupOnStart=1\r\n");
    EXPECT_TRUE(window.find<QCheckBox>("CheckExitAfterBackupOnce")->isChecked());
    EXPECT_TRUE(window.find<QCheckBox>("CheckBackupOnStart")->isChecked());
    EXPECT_TRUE(window.logic().settings().settings().ExitAfterBackupOnce);
    EXPECT_TRUE(window.logic().settings().settings().BackupOnStart);
}

// A settings update sends the auto clean section back to the first folder;
// so a click that runs one shows the first folder again.
TEST_F(MainWindowSettingsTest, ClicksThatUpdateTheSettingsShowTheFirstFolderAgain)
{
    window.addRule(u"/backup/one/"_s);
    window.addRule(u"/backup/two/"_s);
    auto* folders = window.find<QComboBox>("ComboAutoCleanDestinationFolders");
    for (const char* name : {"CheckWebhook", "CheckIncludeLog", "CheckNumThreads",
                             "CheckUpdateMode", "CheckExitAfterBackupOnce", "CheckBackupOnStart"}) {
        SCOPED_TRACE(name);
        folders->setCurrentIndex(1);
        box(name)->setEnabled(true);
        box(name)->click();
        EXPECT_EQ(folders->currentText(), u"/backup/one/"_s);
    }
    // A box that does not update the settings leaves the choice alone.
    folders->setCurrentIndex(1);
    box("CheckMinimizeToTray")->click();
    EXPECT_EQ(folders->currentText(), u"/backup/two/"_s);
}

TEST_F(MainWindowSettingsTest, LeavingTheStartTimeRunsTheSettingsUpdate)
{
    window.addRule(u"/backup/one/"_s);
    window.addRule(u"/backup/two/"_s);
    auto* folders = window.find<QComboBox>("ComboAutoCleanDestinationFolders");
    folders->setCurrentIndex(1);
    Q_EMIT window.find<QTimeEdit>("EditStartTime")->editingFinished();
    EXPECT_EQ(folders->currentIndex(), 0);
}

} // namespace
} // namespace tessaro
