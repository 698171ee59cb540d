#include "AppHarness.h"
#include "QtPrinters.h"
#include "core/MemIniFile.h"

#include <QFile>

#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tessaro {
namespace {

using test::AppHarness;
using test::FakeMainView;

const QString refusal = u"You cannot edit rules while a backup process is running"_s;

class RuleEditingTest : public ::testing::Test
{
protected:
    RuleEditing& editing() { return app.logic.rules(); }
    TBackupRules& rules() { return app.logic.settings().rules(); }
    FakeMainView& view() { return app.view; }

    // Removes the configuration file, so a later save shows by its return.
    void forgetConfig() { QFile::remove(app.logic.configFile().fileName()); }
    bool configSaved() const { return QFile::exists(app.logic.configFile().fileName()); }

    // "source|destination|file name|auto clean" of every rule section of the
    // saved configuration, in section order.
    QStringList savedRules() const
    {
        TMemIniFile ini(app.logic.configFile().fileName());
        EXPECT_TRUE(ini.load());
        QStringList saved;
        for (int n = 0;; ++n) {
            const QString section = u"backup_rules_"_s + QString::number(n);
            if (!ini.SectionExists(section))
                return saved;
            QStringList fields;
            for (const QString& key : {u"SourceFolder"_s, u"DestinationFolder"_s,
                                       u"DestinationFilename"_s, u"AutoCleanMode"_s})
                fields.append(ini.ReadString(section, key, QString()));
            saved.append(fields.join(u'|'));
        }
    }

    QString folder(const QString& name) const { return test::withSlash(app.root.filePath(name)); }

    // Two rules in the shared destination folder with auto clean by number.
    void addTwoRulesWithAutoClean(int numFiles)
    {
        for (const QString& name : {u"a"_s, u"b"_s}) {
            TBackupRule* rule = app.addRule(name);
            rule->AutoCleanMode = acmNumFiles;
            rule->NumFiles = numFiles;
        }
    }

    AppHarness app{LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9)};
};

TEST_F(RuleEditingTest, AddOpensAPresetRuleAndAppendsWhatTheDialogConfirmed)
{
    forgetConfig();
    const QString source = folder(u"Data"_s);
    const QString destination = folder(u"Backup"_s);
    view().ruleDialog = [&](TBackupRule& rule) {
        EXPECT_TRUE(rule.SourceFolder.isEmpty());
        EXPECT_TRUE(rule.DestinationFolder.isEmpty());
        EXPECT_TRUE(rule.DestinationFilename.isEmpty());
        EXPECT_TRUE(rule.IncludeSubFolders);
        EXPECT_FALSE(rule.UsePassword);
        EXPECT_EQ(rule.AutoCleanMode, acmOff);
        EXPECT_EQ(rule.NumFiles, 10);
        EXPECT_EQ(rule.DiskUsage, 5);
        rule.SourceFolder = source;
        rule.DestinationFolder = destination;
        rule.DestinationFilename = u"data"_s;
        return true;
    };

    editing().ButtonAddRuleClick();

    EXPECT_EQ(view().ruleDialogCaptions, QStringList{u"Add backup rule"_s});
    ASSERT_EQ(rules().Count(), 1);
    EXPECT_EQ(rules().Item(0)->SourceFolder, source);
    EXPECT_EQ(rules().Item(0)->DestinationFilename, u"data"_s);
    EXPECT_EQ(view().ruleListRefreshes, 1);
    EXPECT_EQ(view().autoCleanDestinations, QStringList{destination});
    EXPECT_EQ(savedRules(), QStringList{source + u'|' + destination + u"|data|Off"_s});
}

TEST_F(RuleEditingTest, CancelledAddLeavesTheListButStillSaves)
{
    app.addRule(u"a"_s);
    forgetConfig();
    view().ruleDialog = [](TBackupRule& rule) {
        rule.DestinationFilename = u"typed"_s;
        return false;
    };

    editing().ButtonAddRuleClick();

    EXPECT_EQ(rules().Count(), 1);
    EXPECT_EQ(view().ruleListRefreshes, 0);
    EXPECT_TRUE(configSaved());
    EXPECT_EQ(savedRules().size(), 1);
}

TEST_F(RuleEditingTest, EditWorksOnACopyAndCopiesBackOnOk)
{
    app.addRule(u"a"_s);
    TBackupRule* listed = app.addRule(u"b"_s);
    const TBackupRule* seen = nullptr;
    view().ruleDialog = [&](TBackupRule& rule) {
        seen = &rule;
        EXPECT_EQ(rule.SourceFolder, listed->SourceFolder);
        EXPECT_EQ(rule.DestinationFilename, u"b_#ymd_hns#"_s);
        rule.DestinationFilename = u"renamed"_s;
        rule.IncludeSubFolders = false;
        return true;
    };
    forgetConfig();

    editing().ButtonEditRuleClick(1);

    EXPECT_NE(seen, listed) << "the dialog must not edit the listed rule itself";
    EXPECT_EQ(view().ruleDialogCaptions, QStringList{u"Edit backup rule"_s});
    ASSERT_EQ(rules().Count(), 2);
    EXPECT_EQ(rules().Item(1), listed) << "the listed object stays, with the edit in it";
    EXPECT_EQ(listed->DestinationFilename, u"renamed"_s);
    EXPECT_FALSE(listed->IncludeSubFolders);
    EXPECT_EQ(view().ruleListRefreshes, 1);
    ASSERT_TRUE(configSaved());
    EXPECT_TRUE(savedRules().at(1).endsWith(u"|renamed|Off"_s));
}

TEST_F(RuleEditingTest, CancelledEditLeavesTheRuleButStillSaves)
{
    TBackupRule* listed = app.addRule(u"a"_s);
    view().ruleDialog = [](TBackupRule& rule) {
        rule.DestinationFilename = u"typed"_s;
        rule.AutoCleanMode = acmDiskUsage;
        return false;
    };
    forgetConfig();

    editing().ButtonEditRuleClick(0);

    EXPECT_EQ(listed->DestinationFilename, u"a_#ymd_hns#"_s);
    EXPECT_EQ(listed->AutoCleanMode, acmOff);
    EXPECT_EQ(view().ruleListRefreshes, 0);
    EXPECT_TRUE(configSaved());
}

// Every change of the list, from buttons and from the list itself, is refused
// while a pass runs; the dialog does not open and nothing is saved.
TEST_F(RuleEditingTest, EveryChangeIsRefusedWhileAPassRuns)
{
    const struct
    {
        const char* name;
        std::function<void(RuleEditing&)> action;
    } cases[] = {
        {"add",
         [](RuleEditing& e) {
             e.ButtonAddRuleClick();
         }},
        {"edit",
         [](RuleEditing& e) {
             e.ButtonEditRuleClick(0);
         }},
        {"delete",
         [](RuleEditing& e) {
             e.ButtonDeleteRuleClick(0);
         }},
        {"click into the empty list",
         [](RuleEditing& e) {
             e.ListViewClick(-1);
         }},
        {"double click on a rule",
         [](RuleEditing& e) {
             e.ListViewDoubleClick(0);
         }},
    };
    app.addRule(u"a"_s);
    const BackupPass::Running running(app.logic.pass());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        view().messages.clear();
        view().ruleDialog = [](TBackupRule&) {
            ADD_FAILURE() << "dialog opened";
            return true;
        };
        forgetConfig();

        c.action(editing());

        ASSERT_EQ(view().messages.size(), 1);
        EXPECT_EQ(view().messages.first().text, refusal);
        EXPECT_EQ(view().messages.first().caption, u"Error"_s);
        EXPECT_EQ(view().messages.first().buttons, MessageButtons::Ok);
        EXPECT_EQ(rules().Count(), 1);
        EXPECT_FALSE(configSaved());
    }
}

// Without a selected rule, Edit and Delete say so, before any other check.
TEST_F(RuleEditingTest, EditAndDeleteWithoutASelectionAskForOne)
{
    const struct
    {
        const char* name;
        std::function<void(RuleEditing&, qsizetype)> action;
        QString text;
        QString caption;
    } cases[] = {
        {"edit", [](RuleEditing& e, qsizetype i) { e.ButtonEditRuleClick(i); },
         u"Please select the rule you want to edit"_s, u"Edit rule"_s},
        {"delete", [](RuleEditing& e, qsizetype i) { e.ButtonDeleteRuleClick(i); },
         u"Please select the rule you want to delete"_s, u"Delete rule"_s},
    };
    app.addRule(u"a"_s);
    for (const auto& c : cases) {
        for (const bool running : {false, true}) {
            for (const qsizetype selected : {qsizetype(-1), qsizetype(1)}) {
                SCOPED_TRACE(testing::Message()
                             << c.name << " running " << running << " selected " << selected);
                std::optional<BackupPass::Running> pass;
                if (running)
                    pass.emplace(app.logic.pass());
                view().messages.clear();
                forgetConfig();

                c.action(editing(), selected);

                ASSERT_EQ(view().messages.size(), 1);
                EXPECT_EQ(view().messages.first().text, c.text);
                EXPECT_EQ(view().messages.first().caption, c.caption);
                EXPECT_EQ(rules().Count(), 1);
                EXPECT_TRUE(view().ruleDialogCaptions.isEmpty());
                EXPECT_FALSE(configSaved());
            }
        }
    }
}

TEST_F(RuleEditingTest, DeleteAsksAndRemovesOnlyOnYes)
{
    app.addRule(u"a"_s);
    const TBackupRule* second = app.addRule(u"b"_s);
    forgetConfig();

    view().answers = {MessageAnswer::No};
    editing().ButtonDeleteRuleClick(0);
    ASSERT_EQ(view().messages.size(), 1);
    EXPECT_EQ(view().messages.first().text, u"Are you sure you want to delete this rule?"_s);
    EXPECT_EQ(view().messages.first().caption, u"Delete rule"_s);
    EXPECT_EQ(view().messages.first().buttons, MessageButtons::YesNoDefaultNo);
    EXPECT_EQ(rules().Count(), 2);
    EXPECT_FALSE(configSaved()) << "No stops before the save";

    view().answers = {MessageAnswer::Yes};
    editing().ButtonDeleteRuleClick(0);
    ASSERT_EQ(rules().Count(), 1);
    EXPECT_EQ(rules().Item(0), second);
    EXPECT_EQ(view().ruleListRefreshes, 1);
    ASSERT_TRUE(configSaved());
    EXPECT_EQ(savedRules().size(), 1);
    EXPECT_TRUE(savedRules().first().startsWith(second->SourceFolder));
}

TEST_F(RuleEditingTest, DeletingTheOnlyRuleOfAFolderDropsItFromTheAutoCleanChoice)
{
    const TBackupRule* kept = app.addRule(u"a"_s);
    TBackupRule* other = app.addRule(u"b"_s);
    other->DestinationFolder = folder(u"elsewhere"_s);
    app.logic.config().UpdateSettings();
    EXPECT_EQ(view().autoCleanDestinations.size(), 2);

    editing().ButtonDeleteRuleClick(1);

    EXPECT_EQ(view().autoCleanDestinations, QStringList{kept->DestinationFolder});
}

TEST_F(RuleEditingTest, DeletingARuleLeavesTheFoldersAutoCleanToTheOthers)
{
    addTwoRulesWithAutoClean(3);

    editing().ButtonDeleteRuleClick(0);

    ASSERT_EQ(rules().Count(), 1);
    EXPECT_EQ(rules().Item(0)->AutoCleanMode, acmNumFiles);
    EXPECT_EQ(rules().Item(0)->NumFiles, 3);
}

TEST_F(RuleEditingTest, AddedRuleGivesItsAutoCleanSettingsToItsWholeFolder)
{
    addTwoRulesWithAutoClean(3);
    const QString destination = rules().Item(0)->DestinationFolder;
    view().ruleDialog = [&](TBackupRule& rule) {
        rule.SourceFolder = folder(u"c"_s);
        rule.DestinationFolder = destination;
        rule.DestinationFilename = u"c"_s;
        return true;
    };

    editing().ButtonAddRuleClick();

    ASSERT_EQ(rules().Count(), 3);
    for (qsizetype i = 0; i < rules().Count(); ++i)
        EXPECT_EQ(rules().Item(i)->AutoCleanMode, acmOff) << i;
    for (const QString& saved : savedRules())
        EXPECT_TRUE(saved.endsWith(u"|Off"_s)) << saved.toStdString();
}

TEST_F(RuleEditingTest, EditedRuleGivesItsAutoCleanSettingsToItsWholeFolder)
{
    addTwoRulesWithAutoClean(3);
    view().ruleDialog = [](TBackupRule& rule) {
        rule.AutoCleanMode = acmDiskUsage;
        rule.DiskUsage = 7;
        return true;
    };

    editing().ButtonEditRuleClick(1);

    for (qsizetype i = 0; i < rules().Count(); ++i) {
        EXPECT_EQ(rules().Item(i)->AutoCleanMode, acmDiskUsage) << i;
        EXPECT_EQ(rules().Item(i)->DiskUsage, 7) << i;
    }
}

// A click that leaves no rule selected adds one; a double click on a rule
// edits it; anything else does nothing.
TEST_F(RuleEditingTest, ListClicksAddOrEdit)
{
    const struct
    {
        const char* name;
        std::function<void(RuleEditing&)> action;
        QStringList captions;
    } cases[] = {
        {"click without selection",
         [](RuleEditing& e) { e.ListViewClick(-1); },
         {u"Add backup rule"_s}},
        {"click on a rule", [](RuleEditing& e) { e.ListViewClick(0); }, {}},
        {"double click on a rule",
         [](RuleEditing& e) { e.ListViewDoubleClick(0); },
         {u"Edit backup rule"_s}},
        {"double click without selection", [](RuleEditing& e) { e.ListViewDoubleClick(-1); }, {}},
    };
    app.addRule(u"a"_s);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        view().ruleDialogCaptions.clear();

        c.action(editing());

        EXPECT_EQ(view().ruleDialogCaptions, c.captions);
        EXPECT_TRUE(view().messages.isEmpty());
    }
}

// What the rule dialog refuses, first problem first. The password check is
// the archive job's own, so a rule the dialog stores is never turned away
// by the job for its password.
TEST(RuleEditingRuleError, NamesTheFirstProblemOfTheRule)
{
    const QString source = u"Please enter a valid source folder"_s;
    const QString destination = u"Please enter a valid destination folder"_s;
    const QString filename = u"Please enter a valid destination filename"_s;
    const QString quote = u"The password must not contain a double quote character"_s;
    const QString unsafeMasks =
        u"The exclude masks must not contain a double quote or a control character"_s;
    const auto usePassword = [](TBackupRule& rule, const QString& password) {
        rule.UsePassword = true;
        rule.Password = password;
    };
    const struct
    {
        const char* name;
        PathStyle style;
        std::function<void(TBackupRule&)> change;
        QString error;
    } cases[] = {
        {"valid", PathStyle::Windows, [](TBackupRule&) {}, QString()},
        {"valid on POSIX", PathStyle::Posix,
         [](TBackupRule& rule) {
             rule.SourceFolder = u"/home/me/data/"_s;
             rule.DestinationFolder = u"/srv/backup/"_s;
         },
         QString()},
        {"Windows source on POSIX", PathStyle::Posix,
         [](TBackupRule& rule) { rule.DestinationFolder = u"/srv/backup/"_s; }, source},
        {"every part broken", PathStyle::Windows,
         [&](TBackupRule& rule) {
             rule.SourceFolder.clear();
             rule.DestinationFolder = u"data\\"_s;
             rule.DestinationFilename = u"a:b"_s;
             usePassword(rule, u"pa\"ss"_s);
         },
         source},
        {"destination and later", PathStyle::Windows,
         [&](TBackupRule& rule) {
             rule.DestinationFolder = u"data\\"_s;
             rule.DestinationFilename = u"a:b"_s;
         },
         destination},
        {"file name before password", PathStyle::Windows,
         [&](TBackupRule& rule) {
             rule.DestinationFilename = u"a:b"_s;
             usePassword(rule, u"pa\"ss"_s);
         },
         filename},
        {"quote in the password", PathStyle::Windows,
         [&](TBackupRule& rule) { usePassword(rule, u"pa\"ss -df"_s); }, quote},
        {"quote in an unused password", PathStyle::Windows,
         [](TBackupRule& rule) { rule.Password = u"pa\"ss"_s; }, QString()},
        {"masks with blanks, wildcards and separators", PathStyle::Windows,
         [](TBackupRule& rule) { rule.ExcludeMasks = u"*.tmp; My Files\\old; B\u00fccher"_s; },
         QString()},
        {"quote in a mask", PathStyle::Windows,
         [](TBackupRule& rule) { rule.ExcludeMasks = u"*.tmp; x\" -df"_s; }, unsafeMasks},
        {"tab inside a mask", PathStyle::Posix,
         [](TBackupRule& rule) {
             rule.SourceFolder = u"/home/me/data/"_s;
             rule.DestinationFolder = u"/srv/backup/"_s;
             rule.ExcludeMasks = u"a\tb"_s;
         },
         unsafeMasks},
        {"password before masks", PathStyle::Windows,
         [&](TBackupRule& rule) {
             usePassword(rule, u"pa\"ss"_s);
             rule.ExcludeMasks = u"x\""_s;
         },
         quote},
        {"NUL in the password", PathStyle::Windows,
         [&](TBackupRule& rule) { usePassword(rule, QStringView(u"ab\0cd", 5).toString()); },
         u"The password must not contain a NUL character"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TBackupRule rule;
        rule.SourceFolder = u"C:\\Data\\"_s;
        rule.DestinationFolder = u"D:\\Backup\\"_s;
        rule.DestinationFilename = u"data"_s;
        c.change(rule);

        const QString error = RuleEditing::RuleError(rule, c.style);

        EXPECT_EQ(error, c.error);
        EXPECT_EQ(error.isEmpty(), rule.IsValid(c.style) && !rule.HasUnsafePassword() &&
                                       !rule.HasUnsafeExcludeMasks());
    }
}

} // namespace
} // namespace tessaro
