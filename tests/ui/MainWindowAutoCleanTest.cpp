#include "MainWindowHarness.h"
#include "PassHarness.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace tessaro {
namespace {

using test::MainWindowHarness;

// The auto clean section of the Settings page on rules with Windows
// folders, whose destinations compare without regard to case.
class MainWindowAutoCleanTest : public ::testing::Test
{
protected:
    MainWindowAutoCleanTest()
        : window([] { return false; }, PathStyle::Windows),
          folders(window.find<QComboBox>("ComboAutoCleanDestinationFolders")),
          autoClean(window.find<QCheckBox>("CheckAutoClean")),
          byFiles(window.find<QRadioButton>("RadioNumFiles")),
          byDisk(window.find<QRadioButton>("RadioDiskUsage")),
          numFiles(window.find<QSpinBox>("SpinNumFiles")),
          diskUsage(window.find<QSpinBox>("SpinDiskUsage"))
    {}

    void SetUp() override { window.showLoaded(); }

    QList<QWidget*> sectionControls() const
    {
        return {folders, autoClean, byFiles, byDisk, numFiles, diskUsage};
    }

    void expectLimits(const TBackupRule* rule, TAutoCleanMode mode, int files, int disk)
    {
        EXPECT_EQ(rule->AutoCleanMode, mode) << rule->DestinationFolder.toStdString();
        EXPECT_EQ(rule->NumFiles, files) << rule->DestinationFolder.toStdString();
        EXPECT_EQ(rule->DiskUsage, disk) << rule->DestinationFolder.toStdString();
    }

    MainWindowHarness window;
    QComboBox* folders;
    QCheckBox* autoClean;
    QRadioButton* byFiles;
    QRadioButton* byDisk;
    QSpinBox* numFiles;
    QSpinBox* diskUsage;
};

TEST_F(MainWindowAutoCleanTest, WithoutDestinationFoldersTheSectionIsDisabled)
{
    EXPECT_EQ(folders->count(), 0);
    for (QWidget* control : sectionControls())
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();

    window.addRule(u"D:\\Backup\\"_s, acmNumFiles, 3, 4);
    EXPECT_TRUE(folders->isEnabled());
    EXPECT_TRUE(autoClean->isEnabled());

    // The last rule gone: disabled again, showing what it showed.
    window.logic().settings().rules().Clear();
    window.form->logic().config().UpdateSettings();
    for (QWidget* control : sectionControls())
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_EQ(numFiles->value(), 3);
}

TEST_F(MainWindowAutoCleanTest, OneEntryPerFolderAndChangesReachEveryRuleOfIt)
{
    TBackupRule* first = window.addRule(u"D:\\Backup\\"_s, acmNumFiles, 3, 4);
    TBackupRule* other = window.addRule(u"E:\\Other\\"_s, acmOff, 10, 5);
    TBackupRule* same = window.addRule(u"d:\\backup\\"_s, acmNumFiles, 3, 4);

    ASSERT_EQ(folders->count(), 2);
    EXPECT_EQ(folders->itemText(0), u"D:\\Backup\\"_s);
    EXPECT_EQ(folders->currentIndex(), 0);
    EXPECT_TRUE(autoClean->isChecked());
    EXPECT_TRUE(byFiles->isChecked());
    EXPECT_EQ(numFiles->value(), 3);
    EXPECT_EQ(diskUsage->value(), 4);

    diskUsage->setValue(12);
    byDisk->click();
    for (const TBackupRule* rule : {first, same})
        expectLimits(rule, acmDiskUsage, 3, 12);
    expectLimits(other, acmOff, 10, 5);

    // Unticking turns auto clean off and keeps the numbers.
    autoClean->click();
    EXPECT_FALSE(byFiles->isChecked());
    EXPECT_FALSE(byDisk->isChecked());
    for (QWidget* limit : {static_cast<QWidget*>(byFiles), static_cast<QWidget*>(byDisk),
                           static_cast<QWidget*>(numFiles), static_cast<QWidget*>(diskUsage)})
        EXPECT_FALSE(limit->isEnabled()) << limit->objectName().toStdString();
    for (const TBackupRule* rule : {first, same})
        expectLimits(rule, acmOff, 3, 12);

    // Ticking again with no limit chosen limits by file count.
    autoClean->click();
    EXPECT_TRUE(byFiles->isChecked());
    EXPECT_TRUE(numFiles->isEnabled());
    for (const TBackupRule* rule : {first, same})
        expectLimits(rule, acmNumFiles, 3, 12);
}

TEST_F(MainWindowAutoCleanTest, ChoosingAFolderOnlyShowsIt)
{
    TBackupRule* first = window.addRule(u"D:\\Backup\\"_s, acmNumFiles, 3, 4);
    TBackupRule* second = window.addRule(u"E:\\Other\\"_s, acmDiskUsage, 0, 2000);

    folders->setCurrentIndex(1);

    EXPECT_TRUE(autoClean->isChecked());
    EXPECT_FALSE(byFiles->isChecked());
    EXPECT_TRUE(byDisk->isChecked());
    // Values out of range show clamped, and stay in the rule as they were.
    EXPECT_EQ(numFiles->value(), 1);
    EXPECT_EQ(diskUsage->value(), 1000);
    expectLimits(first, acmNumFiles, 3, 4);
    expectLimits(second, acmDiskUsage, 0, 2000);

    // Any change stores what is shown.
    diskUsage->setValue(999);
    expectLimits(second, acmDiskUsage, 1, 999);

    folders->setCurrentIndex(0);
    EXPECT_TRUE(byFiles->isChecked());
    EXPECT_EQ(numFiles->value(), 3);
    expectLimits(first, acmNumFiles, 3, 4);
}

TEST_F(MainWindowAutoCleanTest, ANewFolderWithAutoCleanOffShowsTheDialogDefaults)
{
    window.addRule(u"D:\\Backup\\"_s, acmNumFiles, 3, 4);
    window.addRule(u"F:\\New\\"_s, acmOff, 10, 5);
    folders->setCurrentIndex(1);
    EXPECT_FALSE(autoClean->isChecked());
    EXPECT_FALSE(byFiles->isChecked());
    EXPECT_FALSE(byDisk->isChecked());
    EXPECT_FALSE(byFiles->isEnabled());
    EXPECT_FALSE(numFiles->isEnabled());
    EXPECT_EQ(numFiles->value(), 10);
    EXPECT_EQ(diskUsage->value(), 5);
}

// The settings update enables the section and then shows the first folder,
// so a first folder with auto clean off leaves its limits disabled.
TEST_F(MainWindowAutoCleanTest, FirstFolderWithAutoCleanOffKeepsItsLimitsDisabled)
{
    window.addRule(u"D:\\Backup\\"_s, acmOff, 10, 5);
    window.form->logic().config().UpdateSettings();
    EXPECT_TRUE(folders->isEnabled());
    EXPECT_TRUE(autoClean->isEnabled());
    EXPECT_FALSE(autoClean->isChecked());
    for (QWidget* limit : {static_cast<QWidget*>(byFiles), static_cast<QWidget*>(byDisk),
                           static_cast<QWidget*>(numFiles), static_cast<QWidget*>(diskUsage)})
        EXPECT_FALSE(limit->isEnabled()) << limit->objectName().toStdString();
}

// Each keystroke is a change; a number below the range is pulled into it
// when the field loses the focus, and that is stored too.
TEST_F(MainWindowAutoCleanTest, TypedLimitsAreStoredAndClampedOnLeaving)
{
    TBackupRule* rule = window.addRule(u"D:\\Backup\\"_s, acmNumFiles, 3, 4);
    numFiles->setFocus();
    numFiles->selectAll();
    QTest::keyClicks(numFiles, u"25"_s);
    EXPECT_EQ(rule->NumFiles, 25);

    numFiles->selectAll();
    QTest::keyClicks(numFiles, u"0"_s);
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(numFiles, &focusOut);
    EXPECT_EQ(numFiles->value(), 1);
    EXPECT_EQ(rule->NumFiles, 1);
}

// While a pass runs the section is locked like the Schedule page, so its
// limits cannot change under the pass; afterwards every control is as it
// was, the limits of a folder without auto clean still disabled.
TEST(MainWindowAutoCleanDuringAPass, TheSectionIsLockedUntilThePassEnds)
{
    test::PassHarness harness;
    test::MainWindowHarness& window = harness.window;
    const QString go = window.data.path() + u"/go"_s;
    harness.goodPasses("wait-for=" + go.toUtf8() + '\n');
    auto* autoClean = window.find<QCheckBox>("CheckAutoClean");
    const QList<QWidget*> section = {
        window.find<QComboBox>("ComboAutoCleanDestinationFolders"),
        autoClean,
        window.find<QRadioButton>("RadioNumFiles"),
        window.find<QRadioButton>("RadioDiskUsage"),
        window.find<QSpinBox>("SpinNumFiles"),
        window.find<QSpinBox>("SpinDiskUsage"),
    };
    const auto enabledStates = [&section] {
        QList<bool> states;
        for (const QWidget* control : section)
            states.append(control->isEnabled());
        return states;
    };
    const QList<bool> before = enabledStates();
    ASSERT_EQ(before, (QList<bool>{true, true, false, false, false, false}));

    QList<bool> during;
    bool ranDuringPass = false;
    QTimer::singleShot(0, [&] {
        ranDuringPass = window.logic().pass().isRunning();
        during = enabledStates();
        autoClean->click();
        test::writeFile(go, "");
    });
    harness.backupOnce();

    ASSERT_TRUE(ranDuringPass);
    EXPECT_EQ(during, QList<bool>(section.size(), false));
    EXPECT_EQ(window.logic().settings().rules().Item(0)->AutoCleanMode, acmOff)
        << "the click reached the rule";
    EXPECT_FALSE(autoClean->isChecked());
    EXPECT_EQ(enabledStates(), before);
}

} // namespace
} // namespace tessaro
