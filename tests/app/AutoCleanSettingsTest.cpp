#include "app/AutoCleanSettings.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace tessaro {
namespace {

// The section's controls as plain values. Like real widgets it reports a
// change of every control it shows anew, so filling runs the handlers too.
class FakeSection final : public AutoCleanSection
{
public:
    QString selectedFolder() const override { return folder; }
    AutoCleanPage shownPage() const override { return page; }
    void showPage(const AutoCleanPage& shown) override
    {
        ++shows;
        page = shown;
        if (logic) {
            logic->CheckAutoCleanClick();
            logic->RadioNumFilesClick();
            logic->SpinNumFilesChange();
            logic->SpinDiskUsageChange();
        }
    }

    QString folder;
    AutoCleanPage page;
    int shows = 0;
    AutoCleanSettings* logic = nullptr;
};

class AutoCleanSettingsTest : public ::testing::Test
{
protected:
    AutoCleanSettingsTest()
    {
        settings.attach(section);
        section.logic = &settings;
    }

    TBackupRule* addRule(const QString& destination, TAutoCleanMode mode, int numFiles,
                         int diskUsage)
    {
        auto rule = std::make_unique<TBackupRule>();
        rule->SourceFolder = u"C:\\Data\\"_s;
        rule->DestinationFolder = destination;
        rule->DestinationFilename = u"data"_s;
        rule->AutoCleanMode = mode;
        rule->NumFiles = numFiles;
        rule->DiskUsage = diskUsage;
        return rules.Add(std::move(rule));
    }

    // Selects the folder in the drop-down, as the window does.
    void select(const QString& folder)
    {
        section.folder = folder;
        settings.ComboAutoCleanDestinationFoldersChange();
    }

    TBackupRules rules{PathStyle::Windows};
    FakeSection section;
    AutoCleanSettings settings{rules};
};

TEST_F(AutoCleanSettingsTest, SelectingAFolderShowsItsFirstRuleAndChangesNoRule)
{
    struct Case
    {
        TAutoCleanMode mode;
        int numFiles, diskUsage;
        AutoCleanPage shown;
    };
    const Case cases[] = {
        {acmOff, 10, 5, {false, false, false, 10, 5}},
        {acmNumFiles, 3, 7, {true, true, false, 3, 7}},
        {acmDiskUsage, 20, 2, {true, false, true, 20, 2}},
        // Values from a hand-edited file are shown within the spin boxes' range.
        {acmNumFiles, 0, 5000, {true, true, false, 1, 1000}},
        {acmDiskUsage, -4, 1001, {true, false, true, 1, 1000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mode << ' ' << c.numFiles << ' ' << c.diskUsage);
        rules.Clear();
        TBackupRule* first = addRule(u"D:\\Backup\\"_s, c.mode, c.numFiles, c.diskUsage);
        TBackupRule* second = addRule(u"d:\\backup\\"_s, acmNumFiles, 99, 99);

        // The fake section fires every change handler while it is filled.
        select(u"D:\\Backup\\"_s);

        EXPECT_EQ(section.page, c.shown);
        EXPECT_EQ(first->AutoCleanMode, c.mode);
        EXPECT_EQ(first->NumFiles, c.numFiles);
        EXPECT_EQ(first->DiskUsage, c.diskUsage);
        EXPECT_EQ(second->NumFiles, 99);
    }
}

TEST_F(AutoCleanSettingsTest, AFolderWithoutRulesLeavesTheSectionAlone)
{
    addRule(u"D:\\Backup\\"_s, acmNumFiles, 3, 5);
    section.page = {true, false, true, 44, 55};
    select(u"E:\\Other\\"_s);
    EXPECT_EQ(section.shows, 0);
    EXPECT_EQ(section.page, (AutoCleanPage{true, false, true, 44, 55}));

    // A change with no matching rule writes nowhere.
    settings.SpinNumFilesChange();
    EXPECT_EQ(rules.Item(0)->NumFiles, 3);
}

TEST_F(AutoCleanSettingsTest, AChangeReachesEveryRuleOfTheFolderAndNoOther)
{
    TBackupRule* first = addRule(u"D:\\Backup\\"_s, acmOff, 10, 5);
    TBackupRule* other = addRule(u"E:\\Other\\"_s, acmOff, 10, 5);
    TBackupRule* sameFolder = addRule(u"d:\\backup\\"_s, acmOff, 10, 5);
    select(u"D:\\Backup\\"_s);
    section.logic = nullptr;

    section.page = {true, false, true, 12, 34};
    settings.SpinDiskUsageChange();

    for (const TBackupRule* rule : {first, sameFolder}) {
        EXPECT_EQ(rule->AutoCleanMode, acmDiskUsage);
        EXPECT_EQ(rule->NumFiles, 12);
        EXPECT_EQ(rule->DiskUsage, 34);
    }
    EXPECT_EQ(other->AutoCleanMode, acmOff);
    EXPECT_EQ(other->NumFiles, 10);
}

TEST_F(AutoCleanSettingsTest, AnyChangeStoresTheClampedValuesShown)
{
    TBackupRule* rule = addRule(u"D:\\Backup\\"_s, acmNumFiles, 0, 5);
    select(u"D:\\Backup\\"_s);
    EXPECT_EQ(rule->NumFiles, 0);

    section.logic = nullptr;
    settings.RadioNumFilesClick();
    EXPECT_EQ(rule->NumFiles, 1);
    EXPECT_EQ(rule->AutoCleanMode, acmNumFiles);
}

TEST_F(AutoCleanSettingsTest, TickingAndUntickingAutoClean)
{
    struct Case
    {
        const char* name;
        AutoCleanPage before;
        AutoCleanPage after;
        TAutoCleanMode stored;
    };
    const Case cases[] = {
        {"ticked with no limit chosen picks the file count",
         {true, false, false, 8, 9},
         {true, true, false, 8, 9},
         acmNumFiles},
        {"ticked keeps the chosen limit",
         {true, false, true, 8, 9},
         {true, false, true, 8, 9},
         acmDiskUsage},
        {"unticked clears the choice and keeps the numbers",
         {false, false, true, 8, 9},
         {false, false, false, 8, 9},
         acmOff},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rules.Clear();
        TBackupRule* first = addRule(u"D:\\Backup\\"_s, acmNumFiles, 3, 4);
        TBackupRule* second = addRule(u"D:\\Backup\\"_s, acmNumFiles, 3, 4);
        section.logic = nullptr;
        section.folder = u"D:\\Backup\\"_s;
        section.page = c.before;

        settings.CheckAutoCleanClick();

        EXPECT_EQ(section.page, c.after);
        for (const TBackupRule* rule : {first, second}) {
            EXPECT_EQ(rule->AutoCleanMode, c.stored);
            EXPECT_EQ(rule->NumFiles, 8);
            EXPECT_EQ(rule->DiskUsage, 9);
        }
    }
}

TEST_F(AutoCleanSettingsTest, TheGuardHoldsOnlyWhileFilling)
{
    addRule(u"D:\\Backup\\"_s, acmNumFiles, 3, 4);
    bool sawGuard = false;
    struct Spy final : AutoCleanSection
    {
        AutoCleanSettings* logic = nullptr;
        bool* saw = nullptr;
        QString selectedFolder() const override { return u"D:\\Backup\\"_s; }
        AutoCleanPage shownPage() const override { return {}; }
        void showPage(const AutoCleanPage&) override { *saw = logic->isFilling(); }
    } spy;
    AutoCleanSettings logic(rules);
    logic.attach(spy);
    spy.logic = &logic;
    spy.saw = &sawGuard;

    logic.ComboAutoCleanDestinationFoldersChange();
    EXPECT_TRUE(sawGuard);
    EXPECT_FALSE(logic.isFilling());
}

// The rule dialog shows a rule's auto clean through PageOfRule and stores
// it back through StorePage: a rule within the limits comes back unchanged.
TEST(AutoCleanPageOfRule, StoringWhatIsShownGivesTheRuleBack)
{
    const struct
    {
        TAutoCleanMode mode;
        int numFiles, diskUsage;
    } cases[] = {
        {acmOff, 10, 5},
        {acmNumFiles, 1, 1000},
        {acmDiskUsage, 1000, 1},
        {acmOff, 7, 70},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mode << ' ' << c.numFiles << ' ' << c.diskUsage);
        TBackupRule rule;
        rule.AutoCleanMode = c.mode;
        rule.NumFiles = c.numFiles;
        rule.DiskUsage = c.diskUsage;

        TBackupRule stored;
        AutoCleanSettings::StorePage(AutoCleanSettings::PageOfRule(rule), stored);

        EXPECT_EQ(stored.AutoCleanMode, c.mode);
        EXPECT_EQ(stored.NumFiles, c.numFiles);
        EXPECT_EQ(stored.DiskUsage, c.diskUsage);
    }
}

} // namespace
} // namespace tessaro
