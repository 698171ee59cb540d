// The real program with RAR for Linux as its archiver. What each archive
// holds is read back with unrar: its entries and their paths, the archive
// test, the password. Skipped, with the reason, where RAR is not installed.

#include "RealRar.h"

#include "EndToEndFixture.h"

#include <QDate>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>
#include <unistd.h>

namespace tessaro {
namespace {

using test::RealRar;

// Key lines in the order of defaults, each value replaced by the one the
// overrides give; their other keys follow, then whatever follows their
// first section header.
QString section(const QList<std::pair<QString, QString>>& defaults, const QString& overrides)
{
    QStringList lines = overrides.split(s("\r\n"));
    QString rest;
    const qsizetype header = lines.indexOf(QRegularExpression(s("^\\[.*\\]$")));
    if (header >= 0) {
        rest = s("\r\n") + lines.mid(header).join(s("\r\n"));
        lines = lines.mid(0, header);
    }
    lines.removeAll(QString());
    QString text;
    for (const auto& [key, value] : defaults) {
        const QString prefix = key + QLatin1Char('=');
        const qsizetype given =
            lines.indexOf(QRegularExpression(QRegularExpression::escape(prefix) + s(".*")));
        text += given >= 0 ? lines.takeAt(given) : prefix + value;
        text += s("\r\n");
    }
    for (const QString& line : std::as_const(lines))
        text += line + s("\r\n");
    return text + rest;
}

class RealRarEndToEnd : public EndToEnd
{
protected:
    void SetUp() override
    {
        if (!m_rar.available())
            GTEST_SKIP() << m_rar.missingReason().toStdString();
        // The archiver reads ~/.rarrc: the user running the tests must not
        // shape what they see, so HOME is a folder of the test's own.
        home = test::withSlash(run.path(s("home")));
        QDir().mkpath(home);
        m_environment.insert(s("HOME"), home);
        m_environment.remove(s("RAR"));
        test::writeFile(source + s(".hidden"), "hidden");
    }

    // One rule of the fixture's folders; settings and rule lines replace the
    // defaults of their keys, and text from a line with a section header on
    // follows the section as it is.
    void configureRar(const QString& settings, const QString& rule = QString(),
                      const QString& archiver = QString())
    {
        const QString text =
            s("[Settings]\r\n") +
            section({{s("WinRARLocation"), archiver.isEmpty() ? m_rar.rar() : archiver},
                     {s("BackupOnStart"), s("1")},
                     {s("ExitAfterBackupOnce"), s("1")},
                     {s("StorePaths"), s("Relative paths")}},
                    settings) +
            s("\r\n[backup_rules_0]\r\n") +
            section({{s("SourceFolder"), source},
                     {s("DestinationFolder"), destination},
                     {s("DestinationFilename"), s("docs_#ymd_hns#")},
                     {s("IncludeSubFolders"), s("1")}},
                    rule);
        run.writeConfig(text.toUtf8());
    }

    int runProgram() { return run.run(m_environment); }

    // The one archive the pass left, by its full path; empty (and a failed
    // expectation) when there is not exactly one.
    QString onlyArchive(const QString& pattern = s("*.rar")) const
    {
        const QStringList made = QDir(destination).entryList({pattern}, QDir::Files);
        EXPECT_EQ(made.size(), 1) << made.join(s(", ")).toStdString();
        return made.size() == 1 ? destination + made.first() : QString();
    }

    QString logText() const { return run.logLines().join(QLatin1Char('\n')); }

    const RealRar& rar() const { return m_rar; }

    QString home;
    QProcessEnvironment m_environment;

private:
    RealRar m_rar;
};

// Relative paths as the fixture's source folder gives them.
const QStringList allEntries{s(".hidden"), s("notes.txt"), s("sub"), s("sub/deep.txt")};

struct SettingCase
{
    const char* name;
    const char* settings;
    const char* rule;
    // The entries below the source folder; with full paths they carry the
    // source folder's path too (without its leading "/").
    QStringList entries;
    bool fullPaths = false;
    // The compression the archive's entry shows ("-m0" .. "-m5"), if any.
    const char* method = nullptr;
};

class RealRarSettings : public RealRarEndToEnd, public ::testing::WithParamInterface<SettingCase>
{};

TEST_P(RealRarSettings, ArchiveHoldsWhatTheSettingsSay)
{
    const SettingCase& c = GetParam();
    // Compressible, so that each level shows in the archive.
    test::writeFile(source + s("notes.txt"), QByteArray("backup line of text\n").repeated(10000));
    configureRar(s(c.settings), s(c.rule));

    ASSERT_EQ(runProgram(), 0) << logText().toStdString();

    const QString archive = onlyArchive();
    ASSERT_FALSE(archive.isEmpty());
    QStringList expected;
    const QString prefix = c.fullPaths ? source.mid(1) : QString();
    for (const QString& entry : c.entries)
        expected.append(prefix + entry);
    expected.sort();
    QStringList entries = rar().entries(archive);
    entries.sort();
    EXPECT_EQ(entries, expected);
    EXPECT_EQ(rar().test(archive), 0);
    if (c.method) {
        EXPECT_TRUE(rar().details(archive, s("notes.txt")).contains(s(c.method)));
    }
    EXPECT_TRUE(logText().endsWith(s("[I] backup: finished")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RealRarSettings,
    ::testing::Values(
        SettingCase{"Store", "Compression=Store", "", allEntries, false, " -m0 "},
        SettingCase{"Fastest", "Compression=Fastest", "", allEntries, false, " -m1 "},
        SettingCase{"Fast", "Compression=Fast", "", allEntries, false, " -m2 "},
        SettingCase{"Normal", "Compression=Normal", "", allEntries, false, " -m3 "},
        SettingCase{"Good", "Compression=Good", "", allEntries, false, " -m4 "},
        SettingCase{"Best", "Compression=Best", "", allEntries, false, " -m5 "},
        SettingCase{"FullPaths", "StorePaths=Full paths", "", allEntries, true},
        SettingCase{"FullPathsAndDrive", "StorePaths=Full paths + drive", "", allEntries, true},
        SettingCase{"Threads", "UseNumThreads=1\r\nNumThreads=2", "", allEntries},
        SettingCase{
            "WithoutSubfolders", "", "IncludeSubFolders=0\r\n", {s(".hidden"), s("notes.txt")}}),
    [](const auto& info) { return std::string(info.param.name); });

struct PasswordCase
{
    const char* name;
    const char* password;
};

class RealRarPasswords : public RealRarEndToEnd, public ::testing::WithParamInterface<PasswordCase>
{};

TEST_P(RealRarPasswords, ArchiveOpensWithThePasswordAndOnlyWithIt)
{
    const QString password = s(GetParam().password);
    configureRar(QString(), s("UsePassword=1\r\nPassword=") + password + s("\r\n"));

    ASSERT_EQ(runProgram(), 0) << logText().toStdString();

    const QString archive = onlyArchive();
    ASSERT_FALSE(archive.isEmpty());
    EXPECT_EQ(rar().test(archive, password), 0);
    EXPECT_EQ(rar().content(archive, s("sub/deep.txt"), password), QByteArray("deep"));
    // Refused without it: unrar's "wrong password" code.
    EXPECT_EQ(rar().test(archive), 11);
    EXPECT_EQ(rar().test(archive, password + s("x")), 11);
}

INSTANTIATE_TEST_SUITE_P(Cases, RealRarPasswords,
                         ::testing::Values(PasswordCase{"Blanks", "two  words"},
                                           PasswordCase{"NonAscii", "Grüße-日本"},
                                           PasswordCase{"LeadingDash", "-r-secret"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RealRarEndToEnd, DatePatternAndNonAsciiNamesReachTheArchive)
{
    source = test::withSlash(run.path(s("Quellé 日本")));
    test::writeFile(source + s("Grüße – ünïcode.txt"), "text");
    test::writeFile(source + s("Ordner ä/tief.txt"), "deep");
    const QString day = QDate::currentDate().toString(s("yyMMdd"));
    configureRar(QString(), s("DestinationFilename=Sicherung ä_#ymd#"));

    ASSERT_EQ(runProgram(), 0) << logText().toStdString();

    const QString archive = onlyArchive();
    ASSERT_FALSE(archive.isEmpty());
    const QString name = QFileInfo(archive).fileName();
    // The pass may have started the day before the check.
    EXPECT_TRUE(name == s("Sicherung ä_") + day + s(".rar") ||
                name == s("Sicherung ä_") + QDate::currentDate().toString(s("yyMMdd")) + s(".rar"))
        << name.toStdString();
    QStringList entries = rar().entries(archive);
    entries.sort();
    EXPECT_EQ(entries,
              (QStringList{s("Grüße – ünïcode.txt"), s("Ordner ä"), s("Ordner ä/tief.txt")}));
    EXPECT_EQ(rar().test(archive), 0);
}

// Started by cron or a service without LANG, the program runs in the C
// locale; the archiver still stores non-ASCII names as they are.
TEST_F(RealRarEndToEnd, NonAsciiNamesSurviveTheCLocale)
{
    test::writeFile(source + s("Bücher/ärger – 日本.txt"), "text");
    m_environment.insert(s("LANG"), s("C"));
    m_environment.insert(s("LC_ALL"), s("C"));
    configureRar(QString());

    ASSERT_EQ(runProgram(), 0) << logText().toStdString();

    const QStringList entries = rar().entries(onlyArchive());
    EXPECT_TRUE(entries.contains(s("Bücher/ärger – 日本.txt")))
        << entries.join(s(", ")).toStdString();
}

TEST_F(RealRarEndToEnd, UpdateModeAddsNewAndChangedFilesToTheArchive)
{
    configureRar(s("UpdateMode=1"), s("DestinationFilename=docs"));
    ASSERT_EQ(runProgram(), 0) << logText().toStdString();
    const QString archive = destination + s("docs.rar");
    ASSERT_EQ(rar().content(archive, s("notes.txt")), QByteArray("notes"));

    test::writeFile(source + s("notes.txt"), "notes, changed");
    test::setModified(source + s("notes.txt"), QDateTime::currentDateTime().addSecs(60));
    test::writeFile(source + s("sub/new.txt"), "new");
    ASSERT_EQ(runProgram(), 0) << logText().toStdString();

    EXPECT_EQ(rar().content(archive, s("notes.txt")), QByteArray("notes, changed"));
    EXPECT_EQ(rar().content(archive, s("sub/new.txt")), QByteArray("new"));
    EXPECT_EQ(rar().content(archive, s("sub/deep.txt")), QByteArray("deep"));
    EXPECT_EQ(rar().test(archive), 0);
}

// The errors of the archiver land in the error log of the settings' folder,
// or in the data folder's one when no folder is set.
struct ErrorLogCase
{
    const char* name;
    bool ownFolder;
};

class RealRarErrorLog : public RealRarEndToEnd, public ::testing::WithParamInterface<ErrorLogCase>
{};

TEST_P(RealRarErrorLog, UnwritableDestinationFailsWithFileCreateErrorAndItsLog)
{
    const QString logFolder = test::withSlash(run.path(s("rar-logs")));
    QDir().mkpath(logFolder);
    const QString errorLog = GetParam().ownFolder ? logFolder + s("winrar_errors.log")
                                                  : run.folder() + s("winrar_errors.log");
    // A destination below a file can never be created, not even by root.
    test::writeFile(run.path(s("plain-file")), "x");
    destination = test::withSlash(run.path(s("plain-file/backup")));
    configureRar(GetParam().ownFolder ? s("UseWinRARLogFile=1\r\nWinRARLogFile=") + logFolder
                                      : QString());

    ASSERT_EQ(runProgram(), 1);

    const QStringList lines = run.logLines();
    EXPECT_TRUE(lines.contains(s("[E] backup: failed, error: File create error (9). check WinRAR "
                                 "log at ") +
                               q(errorLog)))
        << logText().toStdString();
    EXPECT_FALSE(test::readFile(errorLog).isEmpty());
    EXPECT_EQ(lines.last(), s("[I] backup: finished (with errors)"));
}

INSTANTIATE_TEST_SUITE_P(Places, RealRarErrorLog,
                         ::testing::Values(ErrorLogCase{"SettingsFolder", true},
                                           ErrorLogCase{"DataFolder", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RealRarEndToEnd, EmptySourceIsSkippedWithoutStartingTheArchiver)
{
    source = test::withSlash(run.path(s("empty")));
    QDir().mkpath(source);
    configureRar(QString());

    ASSERT_EQ(runProgram(), 1);

    EXPECT_TRUE(run.logLines().contains(s("[W] backup: no files or folders found in source ") +
                                        q(source) + s(". skipping backup.")))
        << logText().toStdString();
    EXPECT_TRUE(QDir(destination).isEmpty());
}

// RAR ends with "File open error" and archives the rest: the rule counts
// as failed, and the archive holds every other file.
TEST_F(RealRarEndToEnd, UnreadableFileFailsTheRuleAndTheRestIsArchived)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "runs as root, who can read every file: no unreadable file can be made";
    test::writeFile(source + s("secret.txt"), "secret");
    QFile::setPermissions(source + s("secret.txt"), QFile::Permissions());
    configureRar(QString());

    ASSERT_EQ(runProgram(), 1);

    EXPECT_TRUE(run.logLines().contains(s("[E] backup: failed, error: File open error (6). check "
                                          "WinRAR log at ") +
                                        q(run.folder() + s("winrar_errors.log"))))
        << logText().toStdString();
    const QString archive = onlyArchive();
    ASSERT_FALSE(archive.isEmpty());
    EXPECT_TRUE(rar().entries(archive).contains(s("notes.txt")));
    EXPECT_FALSE(rar().entries(archive).contains(s("secret.txt")));
}

// A home folder routinely holds links: to its parent, to files elsewhere,
// to nothing at all. They are stored as links and never followed.
TEST_F(RealRarEndToEnd, SymbolicLinksAreStoredAsLinks)
{
    ASSERT_TRUE(QFile::link(s("../.."), source + s("sub/up")));
    ASSERT_TRUE(QFile::link(s("nowhere"), source + s("dangling")));
    ASSERT_TRUE(QFile::link(s("notes.txt"), source + s("notes-link")));
    configureRar(QString());

    ASSERT_EQ(runProgram(), 0) << logText().toStdString();

    const QString archive = onlyArchive();
    ASSERT_FALSE(archive.isEmpty());
    QStringList entries = rar().entries(archive);
    entries.sort();
    EXPECT_EQ(entries, (QStringList{s(".hidden"), s("dangling"), s("notes-link"), s("notes.txt"),
                                    s("sub"), s("sub/deep.txt"), s("sub/up")}));
    for (const char* link : {"sub/up", "dangling", "notes-link"})
        EXPECT_TRUE(rar().details(archive, s(link)).contains(s("symbolic link"))) << link;
    EXPECT_TRUE(rar().details(archive, s("sub/up")).contains(s("Target: ../..")));
    EXPECT_EQ(rar().test(archive), 0);
}

// The archiver's own configuration file and its environment variable would
// change what a rule archives without the user seeing it in Tessaro.
TEST_F(RealRarEndToEnd, TheArchiversOwnConfigurationIsIgnored)
{
    test::writeFile(source + s("image.bin"), "binary");
    test::writeFile(home + s(".rarrc"), "switches=-x*.bin\n");
    m_environment.insert(s("RAR"), s("-x*.txt"));
    configureRar(QString());

    ASSERT_EQ(runProgram(), 0) << logText().toStdString();

    QStringList entries = rar().entries(onlyArchive());
    entries.sort();
    EXPECT_EQ(entries, (QStringList{s(".hidden"), s("image.bin"), s("notes.txt"), s("sub"),
                                    s("sub/deep.txt")}));
}

TEST_F(RealRarEndToEnd, ZipFailsClearlyAndLeavesNoFileNamedZip)
{
    configureRar(s("ArchiveFormat=ZIP"));

    ASSERT_EQ(runProgram(), 1);

    EXPECT_TRUE(QDir(destination).entryList(QDir::Files).isEmpty())
        << QDir(destination).entryList(QDir::Files).join(s(", ")).toStdString();
    const QStringList lines = run.logLines();
    EXPECT_TRUE(lines.contains(s("[E] backup: failed, error: The archiver wrote no ZIP archive "
                                 "(RAR for Linux writes RAR archives only) (10004)")))
        << logText().toStdString();
    EXPECT_EQ(lines.filter(s("[W] backup: removed ")).size(), 1);
    EXPECT_TRUE(lines.filter(s("completed")).isEmpty());
    EXPECT_TRUE(lines.filter(s("backupfile")).isEmpty());
    EXPECT_EQ(lines.last(), s("[I] backup: finished (with errors)"));
}

TEST_F(RealRarEndToEnd, Rar4GivesRar5AndOneWarningForThePass)
{
    configureRar(s("ArchiveFormat=RAR4 (Compatible)"),
                 s("\r\n[backup_rules_1]\r\nSourceFolder=") + source + s("\r\nDestinationFolder=") +
                     destination + s("\r\nDestinationFilename=second\r\nIncludeSubFolders=1\r\n"));

    ASSERT_EQ(runProgram(), 0) << logText().toStdString();

    const QStringList made = QDir(destination).entryList({s("*.rar")}, QDir::Files);
    ASSERT_EQ(made.size(), 2);
    for (const QString& archive : made)
        EXPECT_EQ(test::readFile(destination + archive).left(8),
                  QByteArray("Rar!\x1A\x07\x01\x00", 8));
    EXPECT_EQ(run.logLines()
                  .filter(s("[W] backup: RAR4 (Compatible) is chosen, but the archiver "
                            "wrote a RAR5 archive: its version decides the format (RAR "
                            "7 writes RAR5 only)"))
                  .size(),
              1)
        << logText().toStdString();
}

TEST_F(RealRarEndToEnd, GoodArchivePassesItsTest)
{
    configureRar(s("\r\n[extras]\r\nVerifyArchives=1\r\n"));

    ASSERT_EQ(runProgram(), 0) << logText().toStdString();

    EXPECT_TRUE(
        run.logLines().contains(s("[I] backup: archive test passed for ") + q(onlyArchive())));
}

// The real archiver tests an archive that was damaged after it was written
// (by a wrapper around rar): the test fails, and auto clean keeps the older
// archives of that folder.
TEST_F(RealRarEndToEnd, DamagedArchiveFailsItsTestAndAutoCleanIsSkipped)
{
    const QString older = destination + s("older.rar");
    ASSERT_EQ(rar().create(older, source), 0);
    test::setModified(older, QDateTime::currentDateTime().addDays(-3));
    const QString wrapper = run.path(s("damaging-rar"));
    test::writeFile(wrapper, "#!/bin/sh\n\"" + rar().rar().toUtf8() +
                                 "\" \"$@\"; status=$?\n"
                                 "if [ \"$1\" = a ]; then\n"
                                 "  for arg; do case \"$arg\" in -*) ;; *.rar) archive=$arg;; "
                                 "esac; done\n"
                                 "  printf XXXXXXXXXXXXXXXX | dd of=\"$archive\" bs=1 seek=40 "
                                 "conv=notrunc 2>/dev/null\n"
                                 "fi\n"
                                 "exit $status\n");
    QFile::setPermissions(wrapper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    configureRar(s("\r\n[extras]\r\nVerifyArchives=1\r\n"),
                 s("AutoCleanMode=NumFiles\r\nNumFiles=1\r\n"), wrapper);

    ASSERT_EQ(runProgram(), 1);

    const QStringList lines = run.logLines();
    EXPECT_EQ(lines.filter(s("[E] backup: archive test failed for ")).size(), 1)
        << logText().toStdString();
    EXPECT_TRUE(lines.contains(s("[W] auto clean: skipped for ") + q(destination) +
                               s(", an archive of this pass failed its test")));
    EXPECT_TRUE(QFile::exists(older));
}

TEST_F(RealRarEndToEnd, AutoCleanKeepsTheNewestRealArchives)
{
    const QDateTime base = QDateTime::currentDateTime().addDays(-10);
    for (int i = 0; i < 3; ++i) {
        const QString old = destination + s("old_%1.rar").arg(i);
        ASSERT_EQ(rar().create(old, source), 0);
        test::setModified(old, base.addDays(i));
    }
    configureRar(QString(), s("AutoCleanMode=NumFiles\r\nNumFiles=2\r\n"));

    ASSERT_EQ(runProgram(), 0) << logText().toStdString();

    QStringList left = QDir(destination).entryList({s("*.rar")}, QDir::Files, QDir::Name);
    ASSERT_EQ(left.size(), 2) << left.join(s(", ")).toStdString();
    EXPECT_EQ(left.first().left(5), s("docs_"));
    EXPECT_EQ(left.last(), s("old_2.rar"));
    EXPECT_TRUE(run.logLines().contains(s("[I] auto clean: deleted 2 files in ") + q(destination)));
    EXPECT_EQ(rar().test(destination + left.first()), 0);
}

} // namespace
} // namespace tessaro
