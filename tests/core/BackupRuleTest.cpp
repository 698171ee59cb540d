#include "core/BackupRule.h"

#include "QtPrinters.h"
#include "TestFiles.h"
#include "core/MemIniFile.h"

#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tessaro {
namespace {

const QString prefix = u"backup_rules"_s;

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// --- validity -----------------------------------------------------------------

struct FolderCase
{
    const char* path;
    PathStyle style;
    bool valid;
};

TEST(BackupRuleValidity, FolderPaths)
{
    const FolderCase cases[] = {
        {"C:\\", PathStyle::Windows, true},
        {"C:\\Data\\", PathStyle::Windows, true},
        {"C:\\a.b\\", PathStyle::Windows, true},
        {"C:\\a/b\\", PathStyle::Windows, true},
        {"C:\\a\x1F b\\", PathStyle::Windows, true}, // code 31 passes
        {"1:\\x\\", PathStyle::Windows, true},       // the drive need not be a letter
        {"C:", PathStyle::Windows, false},
        {"", PathStyle::Windows, false},
        {"\\", PathStyle::Windows, false},
        {"\\\\server\\share\\", PathStyle::Windows, false},
        {"backup\\", PathStyle::Windows, false},
        {"C:/data\\", PathStyle::Windows, false},
        {"/srv/data/", PathStyle::Windows, false},
        {"C:\\a:b\\", PathStyle::Windows, false},
        {"C:\\..\\x\\", PathStyle::Windows, false},
        {"C:\\data..\\", PathStyle::Windows, false},
        {"C:\\x\\.\\", PathStyle::Windows, false},
        {"C:\\a/./b\\", PathStyle::Windows, false},
        {"C:\\a/../b\\", PathStyle::Windows, false},
        {"C:\\a\tb\\", PathStyle::Windows, false},
        {"C:\\a\nb\\", PathStyle::Windows, false},
        {"C:\\a<b\\", PathStyle::Windows, false},
        {"C:\\a>b\\", PathStyle::Windows, false},
        {"C:\\a\"b\\", PathStyle::Windows, false},
        {"C:\\a|b\\", PathStyle::Windows, false},
        {"C:\\a?b\\", PathStyle::Windows, false},
        {"C:\\a*b\\", PathStyle::Windows, false},

        {"/", PathStyle::Posix, true},
        {"/srv/data/", PathStyle::Posix, true},
        {"/srv/a:b/", PathStyle::Posix, true},
        {"/srv/a.b/", PathStyle::Posix, true},
        {"/srv/a\\b/", PathStyle::Posix, true},
        {"/srv/a\x1F/", PathStyle::Posix, true},
        {"/home/user/Bilder äö/", PathStyle::Posix, true},
        {"", PathStyle::Posix, false},
        {"srv/data/", PathStyle::Posix, false},
        {"C:\\Data\\", PathStyle::Posix, false},
        {"/srv/./x/", PathStyle::Posix, false},
        {"/srv/../x/", PathStyle::Posix, false},
        {"/srv/..hidden/", PathStyle::Posix, false},
        {"/srv/data../", PathStyle::Posix, false},
        {"/srv/a\tb/", PathStyle::Posix, false},
        {"/srv/a<b/", PathStyle::Posix, false},
        {"/srv/a|b/", PathStyle::Posix, false},
        {"/srv/a?b/", PathStyle::Posix, false},
        {"/srv/a*b/", PathStyle::Posix, false},
        {"/srv/a\"b/", PathStyle::Posix, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsValidFolderPath(text(c.path), c.style), c.valid)
            << c.path << (c.style == PathStyle::Windows ? " (Windows)" : " (POSIX)");
    }
}

TEST(BackupRuleValidity, FileNames)
{
    const std::pair<const char*, bool> cases[] = {
        {"backup", true}, {"backup-#ymd_hns#", true},
        {".", true},      {"data.rar", true},
        {"a\x1F", true}, // code 31 passes
        {"", false},      {"a/b", false},
        {"a\\b", false},  {"a:b", false},
        {"a*b", false},   {"a?b", false},
        {"a<b", false},   {"a>b", false},
        {"a|b", false},   {"a\"b", false},
        {"a\tb", false},
    };
    for (const auto& [name, valid] : cases)
        EXPECT_EQ(IsValidFilename(text(name)), valid) << name;
}

TEST(BackupRuleValidity, RuleChecksAllThreeParts)
{
    TBackupRule rule;
    rule.SourceFolder = u"C:\\Data\\"_s;
    rule.DestinationFolder = u"D:\\Backup\\"_s;
    rule.DestinationFilename = u"data.rar"_s;
    EXPECT_TRUE(rule.IsValid(PathStyle::Windows));
    EXPECT_FALSE(rule.IsValid(PathStyle::Posix));

    for (QString TBackupRule::*field : {&TBackupRule::SourceFolder, &TBackupRule::DestinationFolder,
                                        &TBackupRule::DestinationFilename}) {
        TBackupRule broken;
        rule.CopyTo(broken);
        broken.*field = u"a|b"_s;
        EXPECT_FALSE(broken.IsValid(PathStyle::Windows));
    }
}

// Only a password in use reaches the archiver, so only then can its quote
// harm; quotes elsewhere in the rule are the path rules' business.
TEST(BackupRuleValidity, UnsafePasswordIsAQuoteInAPasswordInUse)
{
    const struct
    {
        bool usePassword;
        QString password;
        const char* unsafe;
    } cases[] = {
        {true, text("x\" -df \""), "a double quote character"},
        {true, text("\""), "a double quote character"},
        {true, text("secret"), ""},
        {false, text("a\"b"), ""},
        {true, text(""), ""},
        {true, text("it's"), ""},
        // The archiver would get "ab" only.
        {true, QStringView(u"ab\0cd", 5).toString(), "a NUL character"},
        {true, QStringView(u"\0", 1).toString(), "a NUL character"},
        {false, QStringView(u"ab\0cd", 5).toString(), ""},
        {true, QStringView(u"a\0\"", 3).toString(), "a double quote character"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.password.toStdString());
        TBackupRule rule;
        rule.UsePassword = c.usePassword;
        rule.Password = c.password;
        EXPECT_EQ(rule.UnsafePasswordCharacter(), text(c.unsafe));
        EXPECT_EQ(rule.HasUnsafePassword(), *c.unsafe != 0);
    }
}

// --- Normalize ------------------------------------------------------------------

struct NormalizeFolderCase
{
    const char* input;
    PathStyle style;
    const char* expected;
};

TEST(BackupRuleNormalize, FoldersAreTrimmedAndEndWithOneSeparator)
{
    const NormalizeFolderCase cases[] = {
        {"C:", PathStyle::Windows, "C:\\"},
        {"  C:\\Data \t", PathStyle::Windows, "C:\\Data\\"},
        {"D:\\Backup\\", PathStyle::Windows, "D:\\Backup\\"},
        {"C:/data", PathStyle::Windows, "C:/data\\"}, // slashes stay as they are
        {"", PathStyle::Windows, "\\"},
        {" \r\n", PathStyle::Windows, "\\"},
        {" /srv/data ", PathStyle::Posix, "/srv/data/"},
        {"/srv/data/", PathStyle::Posix, "/srv/data/"},
        {"/", PathStyle::Posix, "/"},
        // A blank folder must not turn into the root folder.
        {"", PathStyle::Posix, ""},
        {"   ", PathStyle::Posix, ""},
    };
    for (const auto& c : cases) {
        TBackupRule rule;
        rule.SourceFolder = text(c.input);
        rule.DestinationFolder = text(c.input);
        rule.Normalize(c.style);
        EXPECT_EQ(rule.SourceFolder, text(c.expected)) << c.input;
        EXPECT_EQ(rule.DestinationFolder, text(c.expected)) << c.input;
    }
}

TEST(BackupRuleNormalize, FileNameIsTrimmedAndCColonBecomesValid)
{
    TBackupRule rule;
    rule.SourceFolder = u"C:"_s;
    rule.DestinationFolder = u" D:\\Backup"_s;
    rule.DestinationFilename = u"\t backup-#ymd#.rar  "_s;
    rule.Normalize(PathStyle::Windows);
    EXPECT_EQ(rule.DestinationFilename, u"backup-#ymd#.rar"_s);
    EXPECT_TRUE(rule.IsValid(PathStyle::Windows));
}

struct PasswordCase
{
    bool usePassword;
    const char* password;
    bool expectedUse;
    const char* expectedPassword;
};

TEST(BackupRuleNormalize, PasswordAndItsSwitchStayConsistent)
{
    const PasswordCase cases[] = {
        {true, "  secret \t", true, "secret"},
        {true, "pass word", true, "pass word"},
        {true, "   ", false, ""},
        {true, "", false, ""},
        {false, "secret", false, ""},
    };
    for (const auto& c : cases) {
        TBackupRule rule;
        rule.UsePassword = c.usePassword;
        rule.Password = text(c.password);
        rule.Normalize(PathStyle::Windows);
        EXPECT_EQ(rule.UsePassword, c.expectedUse) << c.password;
        EXPECT_EQ(rule.Password, text(c.expectedPassword)) << c.password;
    }
}

// --- copies and ownership ---------------------------------------------------------

void fillEveryField(TBackupRule& rule)
{
    rule.SourceFolder = u"C:\\Data\\"_s;
    rule.DestinationFolder = u"D:\\Backup\\"_s;
    rule.DestinationFilename = u"data-#yymmdd#.rar"_s;
    rule.IncludeDate = true;
    rule.IncludeSubFolders = true;
    rule.UsePassword = true;
    rule.Password = u"secret"_s;
    rule.AutoCleanMode = acmDiskUsage;
    rule.NumFiles = 7;
    rule.DiskUsage = 12;
    rule.OutputFileName = u"D:\\Backup\\data-260327.rar"_s;
}

void expectSameStoredFields(const TBackupRule& a, const TBackupRule& b)
{
    EXPECT_EQ(a.SourceFolder, b.SourceFolder);
    EXPECT_EQ(a.DestinationFolder, b.DestinationFolder);
    EXPECT_EQ(a.DestinationFilename, b.DestinationFilename);
    EXPECT_EQ(a.IncludeDate, b.IncludeDate);
    EXPECT_EQ(a.IncludeSubFolders, b.IncludeSubFolders);
    EXPECT_EQ(a.UsePassword, b.UsePassword);
    EXPECT_EQ(a.Password, b.Password);
    EXPECT_EQ(a.AutoCleanMode, b.AutoCleanMode);
    EXPECT_EQ(a.NumFiles, b.NumFiles);
    EXPECT_EQ(a.DiskUsage, b.DiskUsage);
    EXPECT_EQ(a.ExcludeMasks, b.ExcludeMasks);
}

TEST(BackupRuleCopies, CopyToAndCloneLeaveOutTheOutputFileName)
{
    TBackupRule original;
    fillEveryField(original);
    original.ExcludeMasks = u"node_modules; *.tmp"_s;
    TBackupRule copy;
    copy.OutputFileName = u"kept"_s;
    original.CopyTo(copy);
    expectSameStoredFields(copy, original);
    EXPECT_EQ(copy.OutputFileName, u"kept"_s);

    TBackupRules rules(PathStyle::Windows);
    for (int i = 0; i < 2; ++i) {
        auto rule = std::make_unique<TBackupRule>();
        fillEveryField(*rule);
        rule->DestinationFilename = u"rule"_s + QString::number(i);
        rules.Add(std::move(rule));
    }
    const auto clone = rules.Clone();
    ASSERT_EQ(clone->Count(), 2);
    EXPECT_EQ(clone->pathStyle(), PathStyle::Windows);
    for (qsizetype i = 0; i < 2; ++i) {
        EXPECT_NE(clone->Item(i), rules.Item(i));
        expectSameStoredFields(*clone->Item(i), *rules.Item(i));
        EXPECT_TRUE(clone->Item(i)->OutputFileName.isEmpty());
    }
}

// Records when it is destroyed, to observe what the list frees and when.
class RecordingRule final : public TBackupRule
{
public:
    RecordingRule(std::vector<int>& log, int id) : m_log(log), m_id(id) {}
    ~RecordingRule() override { m_log.push_back(m_id); }
    Q_DISABLE_COPY_MOVE(RecordingRule)

private:
    std::vector<int>& m_log;
    int m_id;
};

TEST(BackupRuleCopies, ListOwnsItsRulesAndFreesThemInOrder)
{
    std::vector<int> log;
    std::unique_ptr<TBackupRule> taken;
    {
        TBackupRules rules(PathStyle::Windows);
        for (int id = 0; id < 5; ++id)
            rules.Add(std::make_unique<RecordingRule>(log, id));

        taken = rules.TakeAt(1);
        EXPECT_TRUE(log.empty()) << "taking a rule out must not free it";
        EXPECT_EQ(rules.IndexOf(taken.get()), -1);
        EXPECT_EQ(rules.IndexOf(rules.Item(2)), 2);

        rules.Delete(0);
        EXPECT_EQ(log, (std::vector<int>{0}));
        EXPECT_EQ(rules.Count(), 3);
    }
    EXPECT_EQ(log, (std::vector<int>{0, 2, 3, 4}));
    taken.reset();
    EXPECT_EQ(log, (std::vector<int>{0, 2, 3, 4, 1}));
}

// --- rule sections --------------------------------------------------------------

class RuleSectionsTest : public ::testing::Test
{
protected:
    QString path() const { return m_dir.filePath(u"tessaro.ini"_s); }

    // A configuration file with the given content, loaded.
    std::unique_ptr<TMemIniFile> iniWith(const QByteArray& content)
    {
        test::writeFile(path(), content);
        auto ini = std::make_unique<TMemIniFile>(path());
        EXPECT_TRUE(ini->load()) << ini->errorString().toStdString();
        return ini;
    }

    QTemporaryDir m_dir;
};

TEST_F(RuleSectionsTest, GapsCloseOnTheNextWrite)
{
    auto ini = iniWith("[backup_rules_5]\r\n"
                       "SourceFolder=C:\\Data\r\n"
                       "DestinationFolder=D:\\Backup\r\n"
                       "DestinationFilename=data.rar\r\n");
    TBackupRules rules(PathStyle::Windows);
    ASSERT_TRUE(rules.FromIniFile(*ini, prefix));
    ASSERT_EQ(rules.Count(), 1);
    EXPECT_EQ(rules.Item(0)->SourceFolder, u"C:\\Data\\"_s);
    EXPECT_EQ(rules.Item(0)->DestinationFolder, u"D:\\Backup\\"_s);

    ASSERT_TRUE(rules.ToIniFile(*ini, prefix));
    TMemIniFile written(path());
    ASSERT_TRUE(written.load());
    EXPECT_EQ(written.sectionNames(), QStringList{u"backup_rules_0"_s});
    EXPECT_EQ(written.ReadString(u"backup_rules_0"_s, u"SourceFolder"_s, {}), u"C:\\Data\\"_s);
}

TEST_F(RuleSectionsTest, InvalidAndUnreadSectionsAreDroppedSilently)
{
    auto ini = iniWith("[backup_rules_0]\r\n"
                       "SourceFolder=C:\\First\r\nDestinationFolder=D:\\B\r\n"
                       "DestinationFilename=first.rar\r\n"
                       "[backup_rules_1]\r\n" // no source folder: not a rule
                       "DestinationFolder=D:\\B\r\nDestinationFilename=x.rar\r\n"
                       "[backup_rules_2]\r\n" // relative source folder
                       "SourceFolder=backup\r\nDestinationFolder=D:\\B\r\n"
                       "DestinationFilename=x.rar\r\n"
                       "[backup_rules_3]\r\n" // forbidden character in the file name
                       "SourceFolder=C:\\x\r\nDestinationFolder=D:\\B\r\n"
                       "DestinationFilename=a*b\r\n"
                       "[backup_rules_4]\r\n" // no destination folder
                       "SourceFolder=C:\\x\r\nDestinationFilename=x.rar\r\n"
                       "[backup_rules_7]\r\n"
                       "SourceFolder=C:\r\nDestinationFolder=D:\\B\r\n"
                       "DestinationFilename=second.rar\r\n"
                       "[backup_rules_1000]\r\n" // past the last number read
                       "SourceFolder=C:\\x\r\nDestinationFolder=D:\\B\r\n"
                       "DestinationFilename=x.rar\r\n");
    TBackupRules rules(PathStyle::Windows);
    ASSERT_TRUE(rules.FromIniFile(*ini, prefix));
    ASSERT_EQ(rules.Count(), 2);
    EXPECT_EQ(rules.Item(0)->DestinationFilename, u"first.rar"_s);
    EXPECT_EQ(rules.Item(1)->DestinationFilename, u"second.rar"_s);
    EXPECT_EQ(rules.Item(1)->SourceFolder, u"C:\\"_s);
}

TEST_F(RuleSectionsTest, ReadingReplacesTheListAndFreesTheOldRules)
{
    auto ini = iniWith("[backup_rules_0]\r\nSourceFolder=/srv/data\r\n"
                       "DestinationFolder=/backup\r\nDestinationFilename=data.rar\r\n");
    std::vector<int> log;
    TBackupRules rules(PathStyle::Posix);
    rules.Add(std::make_unique<RecordingRule>(log, 0));
    rules.Add(std::make_unique<RecordingRule>(log, 1));
    ASSERT_TRUE(rules.FromIniFile(*ini, prefix));
    EXPECT_EQ(log, (std::vector<int>{0, 1}));
    ASSERT_EQ(rules.Count(), 1);
    EXPECT_EQ(rules.Item(0)->SourceFolder, u"/srv/data/"_s);
    EXPECT_EQ(rules.Item(0)->DestinationFolder, u"/backup/"_s);
}

TEST_F(RuleSectionsTest, ValueFormsAndDefaults)
{
    auto ini = iniWith("[backup_rules_0]\r\n"
                       "SourceFolder=C:\\Src\r\nDestinationFolder=D:\\One\r\n"
                       "DestinationFilename=one.rar\r\n"
                       "IncludeDate=1\r\nIncludeSubFolders=true\r\n"
                       "UsePassword=1\r\nPassword=  pw  \r\n"
                       "AutoCleanMode=numfiles\r\nNumFiles=0x14\r\n"
                       "[backup_rules_1]\r\n"
                       "SourceFolder=C:\\Src\r\nDestinationFolder=D:\\Two\r\n"
                       "DestinationFilename=two.rar\r\n"
                       "IncludeSubFolders=-1\r\nUsePassword=yes\r\nPassword=secret\r\n"
                       "AutoCleanMode=DiskUsage\r\nNumFiles=abc\r\nDiskUsage=+5\r\n"
                       "[backup_rules_2]\r\n"
                       "SourceFolder=C:\\Src\r\nDestinationFolder=D:\\Three\r\n"
                       "DestinationFilename=three.rar\r\nAutoCleanMode=NumFiles\r\n");
    TBackupRules rules(PathStyle::Windows);
    ASSERT_TRUE(rules.FromIniFile(*ini, prefix));
    ASSERT_EQ(rules.Count(), 3);

    const TBackupRule& first = *rules.Item(0);
    EXPECT_TRUE(first.IncludeDate);
    EXPECT_FALSE(first.IncludeSubFolders); // the word "true" reads as the default
    EXPECT_TRUE(first.UsePassword);
    EXPECT_EQ(first.Password, u"pw"_s);
    EXPECT_EQ(first.AutoCleanMode, acmOff); // letter case counts
    EXPECT_EQ(first.NumFiles, 20);
    EXPECT_EQ(first.DiskUsage, 1000);

    const TBackupRule& second = *rules.Item(1);
    EXPECT_FALSE(second.IncludeDate);
    EXPECT_TRUE(second.IncludeSubFolders);
    EXPECT_FALSE(second.UsePassword);
    EXPECT_EQ(second.Password, QString());
    EXPECT_EQ(second.AutoCleanMode, acmDiskUsage);
    EXPECT_EQ(second.NumFiles, 10);
    EXPECT_EQ(second.DiskUsage, 5);

    EXPECT_EQ(rules.Item(2)->AutoCleanMode, acmNumFiles);
}

TEST_F(RuleSectionsTest, WritingRenumbersAndKeepsOtherSections)
{
    auto ini = iniWith("[backup_rules_0]\r\nSourceFolder=old\r\n"
                       "[Settings]\r\nA=1\r\n"
                       "[backup_rules_2]\r\nSourceFolder=old\r\n"
                       "[backup_rules_1000]\r\nSourceFolder=far\r\n");
    TBackupRules rules(PathStyle::Windows);
    auto rule = std::make_unique<TBackupRule>();
    fillEveryField(*rule);
    rule->IncludeDate = false;
    rule->AutoCleanMode = acmOff;
    rules.Add(std::move(rule));
    rule = std::make_unique<TBackupRule>();
    rule->SourceFolder = u"C:\\"_s;
    rule->DestinationFolder = u"E:\\"_s;
    rule->DestinationFilename = u"b"_s;
    rule->AutoCleanMode = acmNumFiles;
    rules.Add(std::move(rule));

    ASSERT_TRUE(rules.ToIniFile(*ini, prefix));
    EXPECT_EQ(test::readFile(path()), "[Settings]\r\nA=1\r\n\r\n"
                                      "[backup_rules_1000]\r\nSourceFolder=far\r\n\r\n"
                                      "[backup_rules_0]\r\n"
                                      "SourceFolder=C:\\Data\\\r\n"
                                      "DestinationFolder=D:\\Backup\\\r\n"
                                      "DestinationFilename=data-#yymmdd#.rar\r\n"
                                      "IncludeDate=0\r\n"
                                      "IncludeSubFolders=1\r\n"
                                      "UsePassword=1\r\n"
                                      "Password=secret\r\n"
                                      "AutoCleanMode=Off\r\n"
                                      "NumFiles=7\r\n"
                                      "DiskUsage=12\r\n"
                                      "\r\n"
                                      "[backup_rules_1]\r\n"
                                      "SourceFolder=C:\\\r\n"
                                      "DestinationFolder=E:\\\r\n"
                                      "DestinationFilename=b\r\n"
                                      "IncludeDate=0\r\n"
                                      "IncludeSubFolders=0\r\n"
                                      "UsePassword=0\r\n"
                                      "Password=\r\n"
                                      "AutoCleanMode=NumFiles\r\n"
                                      "NumFiles=0\r\n"
                                      "DiskUsage=0\r\n"
                                      "\r\n");
}

TEST_F(RuleSectionsTest, WritesAreReadBackAsTheSameRules)
{
    TBackupRules rules(PathStyle::Windows);
    auto rule = std::make_unique<TBackupRule>();
    fillEveryField(*rule);
    rules.Add(std::move(rule));
    auto ini = iniWith({});
    ASSERT_TRUE(rules.ToIniFile(*ini, prefix));

    TMemIniFile reread(path());
    ASSERT_TRUE(reread.load());
    TBackupRules again(PathStyle::Windows);
    ASSERT_TRUE(again.FromIniFile(reread, prefix));
    ASSERT_EQ(again.Count(), 1);
    expectSameStoredFields(*again.Item(0), *rules.Item(0));
}

// The masks go last in their rule's section, as typed, and only into the
// sections of rules that have some: the other sections read and write as
// they always did.
TEST_F(RuleSectionsTest, ExcludeMasksAreWrittenLastAndOnlyWhenThereAreSome)
{
    const QByteArray file = "[backup_rules_0]\r\n"
                            "SourceFolder=C:\\Data\\\r\n"
                            "DestinationFolder=D:\\Backup\\\r\n"
                            "DestinationFilename=data\r\n"
                            "IncludeDate=0\r\n"
                            "IncludeSubFolders=1\r\n"
                            "UsePassword=0\r\n"
                            "Password=\r\n"
                            "AutoCleanMode=Off\r\n"
                            "NumFiles=10\r\n"
                            "DiskUsage=5\r\n"
                            "ExcludeMasks=node_modules; *.tmp;My Files\\old\r\n"
                            "\r\n"
                            "[backup_rules_1]\r\n"
                            "SourceFolder=C:\\Mail\\\r\n"
                            "DestinationFolder=D:\\Backup\\\r\n"
                            "DestinationFilename=mail\r\n"
                            "IncludeDate=0\r\n"
                            "IncludeSubFolders=0\r\n"
                            "UsePassword=0\r\n"
                            "Password=\r\n"
                            "AutoCleanMode=Off\r\n"
                            "NumFiles=10\r\n"
                            "DiskUsage=5\r\n"
                            "\r\n";
    auto ini = iniWith(file);
    TBackupRules rules(PathStyle::Windows);
    ASSERT_TRUE(rules.FromIniFile(*ini, prefix));
    ASSERT_EQ(rules.Count(), 2);
    EXPECT_EQ(rules.Item(0)->ExcludeMasks, u"node_modules; *.tmp;My Files\\old"_s);
    EXPECT_TRUE(rules.Item(1)->ExcludeMasks.isEmpty());
    EXPECT_EQ(test::readFile(path()), file);

    // Rules written anew from the list give the same bytes again.
    auto fresh = iniWith({});
    ASSERT_TRUE(rules.ToIniFile(*fresh, prefix));
    EXPECT_EQ(test::readFile(path()), file);
}

TEST_F(RuleSectionsTest, ReadingWritesTheFileBackWithoutComments)
{
    auto ini = iniWith("; my rules\r\n"
                       "[backup_rules_0]\r\n"
                       "; the source\r\n"
                       "  SourceFolder = C:\\A \r\n"
                       "\r\n\r\n"
                       "DestinationFolder=D:\\B\\\r\n"
                       "DestinationFilename=a.rar");
    TBackupRules rules(PathStyle::Windows);
    ASSERT_TRUE(rules.FromIniFile(*ini, prefix));
    EXPECT_EQ(test::readFile(path()), "[backup_rules_0]\r\n"
                                      "SourceFolder=C:\\A\r\n"
                                      "DestinationFolder=D:\\B\\\r\n"
                                      "DestinationFilename=a.rar\r\n"
                                      "\r\n");
}

TEST(RuleSections, ReadingReportsAFailedWriteBackButKeepsTheRules)
{
    QTemporaryDir dir;
    TMemIniFile ini(dir.filePath(u"missing/tessaro.ini"_s));
    ini.loadFromBytes("[backup_rules_0]\r\nSourceFolder=C:\\A\r\n"
                      "DestinationFolder=D:\\B\r\nDestinationFilename=a.rar\r\n");
    TBackupRules rules(PathStyle::Windows);
    EXPECT_FALSE(rules.FromIniFile(ini, prefix));
    EXPECT_FALSE(ini.errorString().isEmpty());
    EXPECT_EQ(rules.Count(), 1);
    EXPECT_FALSE(rules.ToIniFile(ini, prefix));
}

// --- destination folders and auto clean ---------------------------------------------

// One rule section per folder. Rule i keeps i + 1 archives, so a rule's
// auto clean settings tell which section they came from.
QByteArray rulesOnFoldersConfig(std::initializer_list<const char*> folders)
{
    const char* modes[] = {"NumFiles", "Off", "DiskUsage"};
    QByteArray content;
    int i = 0;
    for (const char* folder : folders) {
        content += "[backup_rules_" + QByteArray::number(i) + "]\r\n";
        content += "SourceFolder=" + QByteArray(folder) + "\r\n";
        content += "DestinationFolder=" + QByteArray(folder) + "\r\n";
        content += "DestinationFilename=r" + QByteArray::number(i) + "\r\n";
        content += "AutoCleanMode=" + QByteArray(modes[i % 3]) + "\r\n";
        content += "NumFiles=" + QByteArray::number(i + 1) + "\r\n";
        content += "DiskUsage=" + QByteArray::number(10 * (i + 1)) + "\r\n";
        ++i;
    }
    return content;
}

void expectAutoClean(const TBackupRule& rule, TAutoCleanMode mode, int numFiles, int diskUsage)
{
    EXPECT_EQ(rule.AutoCleanMode, mode);
    EXPECT_EQ(rule.NumFiles, numFiles);
    EXPECT_EQ(rule.DiskUsage, diskUsage);
}

// Checks that rule i carries the settings of section sections[i].
void expectSettingsFromSections(const TBackupRules& rules, const std::vector<int>& sections)
{
    const TAutoCleanMode modes[] = {acmNumFiles, acmOff, acmDiskUsage};
    ASSERT_EQ(rules.Count(), qsizetype(sections.size()));
    for (size_t i = 0; i < sections.size(); ++i) {
        SCOPED_TRACE(i);
        const int n = sections[i];
        expectAutoClean(*rules.Item(qsizetype(i)), modes[n % 3], n + 1, 10 * (n + 1));
    }
}

TEST_F(RuleSectionsTest, SharedWindowsFolderTakesTheLastSectionsAutoClean)
{
    // With its byte-order mark the file is UTF-8 on every platform (Windows
    // reads a file without one in the ANSI code page).
    auto ini = iniWith("\xEF\xBB\xBF" +
                       rulesOnFoldersConfig({"D:\\Backup\\", "E:\\Other\\", "d:\\backup\\",
                                             "e:\\OTHER\\", "D:\\Äpfel\\", "D:\\äpfel\\"}));
    TBackupRules rules(PathStyle::Windows);
    ASSERT_TRUE(rules.FromIniFile(*ini, prefix));
    // Auto clean groups folders by ASCII case only, as the file system does.
    expectSettingsFromSections(rules, {2, 3, 2, 3, 4, 5});
    // The folder list shows names the way the user reads them.
    EXPECT_EQ(rules.GetDestinationFolders(),
              (QStringList{u"D:\\Backup\\"_s, u"E:\\Other\\"_s, u"D:\\Äpfel\\"_s}));
}

TEST_F(RuleSectionsTest, PosixFoldersDifferingInCaseStayApart)
{
    auto ini = iniWith(
        rulesOnFoldersConfig({"/srv/Backup/", "/srv/other/", "/srv/backup/", "/srv/other/"}));
    TBackupRules rules(PathStyle::Posix);
    ASSERT_TRUE(rules.FromIniFile(*ini, prefix));
    expectSettingsFromSections(rules, {0, 3, 2, 3});
    EXPECT_EQ(rules.GetDestinationFolders(),
              (QStringList{u"/srv/Backup/"_s, u"/srv/other/"_s, u"/srv/backup/"_s}));
}

std::unique_ptr<TBackupRules> rulesOnFolders(PathStyle style, const QStringList& folders)
{
    auto rules = std::make_unique<TBackupRules>(style);
    for (const QString& folder : folders) {
        auto rule = std::make_unique<TBackupRule>();
        rule->DestinationFolder = folder;
        rules->Add(std::move(rule));
    }
    return rules;
}

struct LookupCase
{
    const char* folder;
    PathStyle style;
    int expectedIndex; // -1: no rule
};

TEST(DestinationFolders, RuleByDestinationFolder)
{
    const QStringList windowsFolders{u"D:\\Backup\\"_s, u"d:\\BACKUP\\"_s, u"D:\\Äpfel\\"_s};
    const QStringList posixFolders{u"/srv/Backup/"_s, u"/srv/backup/"_s};
    const LookupCase cases[] = {
        {"D:\\Backup\\", PathStyle::Windows, 0},
        {"d:\\backup\\", PathStyle::Windows, 0},   // ASCII case ignored, first match wins
        {"D:\\Backup", PathStyle::Windows, -1},    // no separator is added
        {" D:\\Backup\\", PathStyle::Windows, -1}, // nor is anything trimmed
        {"D:\\Äpfel\\", PathStyle::Windows, 2},
        {"D:\\äpfel\\", PathStyle::Windows, -1}, // only ASCII letters fold
        {"/srv/backup/", PathStyle::Posix, 1},
        {"/srv/BACKUP/", PathStyle::Posix, -1},
    };
    for (const auto& c : cases) {
        const auto rules =
            rulesOnFolders(c.style, c.style == PathStyle::Windows ? windowsFolders : posixFolders);
        const TBackupRule* found = rules->RuleByDestinationFolder(text(c.folder));
        const TBackupRule* expected = c.expectedIndex < 0 ? nullptr : rules->Item(c.expectedIndex);
        EXPECT_EQ(found, expected) << c.folder;
    }
    EXPECT_EQ(TBackupRules(PathStyle::Windows).RuleByDestinationFolder(u"D:\\Backup\\"_s), nullptr);
}

TEST(DestinationFolders, DistinctFoldersIgnoreCaseByLocaleOnWindowsOnly)
{
    const QStringList folders{u"D:\\Äpfel\\"_s, u"E:\\x\\"_s, u"d:\\äpfel\\"_s, u"D:\\ÄPFEL\\"_s,
                              u"e:\\X\\"_s};
    EXPECT_EQ(rulesOnFolders(PathStyle::Windows, folders)->GetDestinationFolders(),
              (QStringList{u"D:\\Äpfel\\"_s, u"E:\\x\\"_s}));
    EXPECT_EQ(rulesOnFolders(PathStyle::Posix, folders)->GetDestinationFolders(), folders);
    EXPECT_TRUE(TBackupRules().GetDestinationFolders().isEmpty());
}

// One pass over the rules gives each folder of the folder list with the
// rule a lookup by that folder finds: the first rule that names it.
TEST(DestinationFolders, FirstRulesMatchTheFolderListAndTheLookup)
{
    const struct
    {
        PathStyle style;
        QStringList folders;
        QList<int> firstRules;
    } cases[] = {
        {PathStyle::Windows,
         {u"D:\\Äpfel\\"_s, u"E:\\x\\"_s, u"d:\\äpfel\\"_s, u"D:\\ÄPFEL\\"_s, u"e:\\X\\"_s,
          u"F:\\y\\"_s},
         {0, 1, 5}},
        {PathStyle::Posix,
         {u"/srv/Backup/"_s, u"/srv/backup/"_s, u"/srv/Backup/"_s, u"/srv/other/"_s},
         {0, 1, 3}},
        {PathStyle::Posix, {}, {}},
    };
    for (const auto& c : cases) {
        const auto rules = rulesOnFolders(c.style, c.folders);
        const QList<TBackupRule*> first = rules->FirstRulesOfDestinationFolders();
        QList<int> indexes;
        QStringList folders;
        for (const TBackupRule* rule : first) {
            indexes.append(int(rules->IndexOf(rule)));
            folders.append(rule->DestinationFolder);
            EXPECT_EQ(rules->RuleByDestinationFolder(rule->DestinationFolder), rule);
        }
        EXPECT_EQ(indexes, c.firstRules);
        EXPECT_EQ(folders, rules->GetDestinationFolders());
    }
}

TEST(DestinationFolders, UpdateAutoCleanRulesReachesEveryRuleOfTheFolder)
{
    const QStringList folders{u"D:\\B\\"_s, u"E:\\x\\"_s, u"d:\\b\\"_s};
    TBackupRule settings; // not in the list
    settings.DestinationFolder = u"D:\\b\\"_s;
    settings.AutoCleanMode = acmDiskUsage;
    settings.NumFiles = 9;
    settings.DiskUsage = 99;

    const auto windows = rulesOnFolders(PathStyle::Windows, folders);
    windows->UpdateAutoCleanRules(settings);
    expectAutoClean(*windows->Item(0), acmDiskUsage, 9, 99);
    expectAutoClean(*windows->Item(1), acmOff, 0, 0);
    expectAutoClean(*windows->Item(2), acmDiskUsage, 9, 99);

    const auto posix = rulesOnFolders(PathStyle::Posix, folders);
    posix->UpdateAutoCleanRules(settings);
    for (qsizetype i = 0; i < posix->Count(); ++i)
        expectAutoClean(*posix->Item(i), acmOff, 0, 0);

    // A listed rule passes its own settings on.
    posix->Item(2)->NumFiles = 4;
    posix->Item(2)->AutoCleanMode = acmNumFiles;
    posix->UpdateAutoCleanRules(*posix->Item(2));
    expectAutoClean(*posix->Item(2), acmNumFiles, 4, 0);
    expectAutoClean(*posix->Item(0), acmOff, 0, 0);
}

// --- random input -------------------------------------------------------------------

// Every rule that reading lets through must satisfy the list's invariants,
// whatever the file held.
void expectInvariants(const TBackupRules& rules)
{
    const PathStyle style = rules.pathStyle();
    for (qsizetype i = 0; i < rules.Count(); ++i) {
        const TBackupRule& rule = *rules.Item(i);
        EXPECT_TRUE(rule.IsValid(style)) << rule.SourceFolder.toStdString();
        TBackupRule renormalized;
        rule.CopyTo(renormalized);
        renormalized.Normalize(style);
        expectSameStoredFields(renormalized, rule);
        const TBackupRule* first = rules.RuleByDestinationFolder(rule.DestinationFolder);
        ASSERT_NE(first, nullptr);
        expectAutoClean(rule, first->AutoCleanMode, first->NumFiles, first->DiskUsage);
    }
}

TEST(RuleSectionsRandom, ArbitraryFilesNeverYieldInvalidRules)
{
    const char* keys[] = {"SourceFolder", "DestinationFolder", "DestinationFilename",
                          "IncludeDate",  "IncludeSubFolders", "UsePassword",
                          "Password",     "AutoCleanMode",     "NumFiles",
                          "DiskUsage",    "sourcefolder",      "destinationFOLDER"};
    const char* values[] = {"C:\\Data",   "d:\\backup\\",
                            "C:",         "/srv/data",
                            "/srv/Data/", "\\\\srv\\x",
                            "C:\\..\\x",  "/srv/../x",
                            "a*b",        "backup",
                            "#ymd#",      "",
                            "   ",        "\t",
                            "0x14",       "-1",
                            "1",          "0",
                            "NumFiles",   "DiskUsage",
                            "Off",        "99999999999",
                            "\xFF\xFE",   "\xC3\x28",
                            "x\x01y",     "[",
                            "]",          "=",
                            ";",          "\xEF\xBB\xBF"};
    QRandomGenerator random(1899);
    for (const PathStyle style : {PathStyle::Windows, PathStyle::Posix}) {
        for (int round = 0; round < 100; ++round) {
            QByteArray content;
            const int lines = random.bounded(60);
            for (int line = 0; line < lines; ++line) {
                switch (random.bounded(6)) {
                case 0:
                    content += "[backup_rules_" + QByteArray::number(random.bounded(1002)) + "]";
                    break;
                case 1:
                    for (int n = random.bounded(12); n > 0; --n)
                        content += char(random.bounded(256));
                    break;
                default:
                    content += keys[random.bounded(int(std::size(keys)))];
                    content += '=';
                    content += values[random.bounded(int(std::size(values)))];
                }
                content += random.bounded(5) == 0 ? "\n" : "\r\n";
            }
            TMemIniFile ini(QString{});
            ini.loadFromBytes(content);
            TBackupRules rules(style);
            rules.FromIniFile(ini, prefix); // the file cannot be written: no name
            expectInvariants(rules);
            if (::testing::Test::HasFailure())
                FAIL() << content.toHex().toStdString();
        }
    }
}

} // namespace
} // namespace tessaro
