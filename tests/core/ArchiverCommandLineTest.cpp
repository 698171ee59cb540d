#include "core/ArchiverCommandLine.h"

#include "QtPrinters.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

const LocalDateTime passStart = LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9);

QString s(const char* text)
{
    return QString::fromUtf8(text);
}

class WorkedExample : public ::testing::Test
{
protected:
    WorkedExample()
    {
        rule.SourceFolder = s("D:\\Data\\Projects\\");
        rule.DestinationFolder = s("E:\\Backup\\");
        rule.DestinationFilename = s("projects_#ymd_hns#");
        rule.IncludeSubFolders = true;
        options.ArchiveFormat = TArchiveFormat::Rar;
        options.Compression = TCompression::Normal;
        options.StorePaths = TStorePaths::Relative;
        options.NumThreads = 4;
        options.LogFile = s("E:\\Logs");
    }

    TBackupRule rule;
    TWinRAROptions options;
};

TEST_F(WorkedExample, RarNormalRelativePathsWithThreads)
{
    const QString archive = BuildArchiveFileName(rule, options, passStart, PathStyle::Windows);
    EXPECT_EQ(archive, s("E:\\Backup\\projects_260327_140509.rar"));
    EXPECT_EQ(BuildCommandLine(rule, options, archive, s("E:\\Logs\\winrar_errors.log"),
                               PathStyle::Windows),
              s("a -r -m3 -IBCK -INUL -mt4 \"-ILOGE:\\Logs\\winrar_errors.log\" -ep1 "
                "\"E:\\Backup\\projects_260327_140509.rar\" \"D:\\Data\\Projects\\\""));
}

TEST_F(WorkedExample, ZipStoreFullPathsDriveUpdateWithPassword)
{
    options.ArchiveFormat = TArchiveFormat::Zip;
    options.Compression = TCompression::Store;
    options.StorePaths = TStorePaths::FullWithDrive;
    options.NumThreads = 0;
    options.LogFile.clear();
    options.UpdateMode = true;
    rule.UsePassword = true;
    rule.Password = s("s3cret");
    const QString defaultLog = s("C:\\Tessaro\\winrar_errors.log");

    const QString archive = BuildArchiveFileName(rule, options, passStart, PathStyle::Windows);
    EXPECT_EQ(archive, s("E:\\Backup\\projects_260327_140509.zip"));
    options.DefaultErrorLogFile = defaultLog;
    const QString errorLog = GetErrorLogFile(options);
    EXPECT_EQ(errorLog, defaultLog);
    EXPECT_EQ(BuildCommandLine(rule, options, archive, errorLog, PathStyle::Windows),
              s("u -r -m0 \"-ps3cret\" -IBCK -INUL \"-ILOGC:\\Tessaro\\winrar_errors.log\" -ep3 "
                "\"E:\\Backup\\projects_260327_140509.zip\" \"D:\\Data\\Projects\\\""));
}

TEST_F(WorkedExample, Rar4GivesTheSameNameAndCommandLineAsRar)
{
    const QString rarArchive = BuildArchiveFileName(rule, options, passStart, PathStyle::Windows);
    const QString rarLine = BuildCommandLine(rule, options, rarArchive, s("L"), PathStyle::Windows);
    options.ArchiveFormat = TArchiveFormat::Rar4;
    const QString rar4Archive = BuildArchiveFileName(rule, options, passStart, PathStyle::Windows);
    EXPECT_EQ(rar4Archive, rarArchive);
    EXPECT_EQ(BuildCommandLine(rule, options, rar4Archive, s("L"), PathStyle::Windows), rarLine);
}

struct NameCase
{
    const char* fileName;
    TArchiveFormat format;
    LocalDateTime now;
    const char* expected;
};

TEST(ArchiveName, ExtensionAndDatePattern)
{
    const LocalDateTime jan5 = LocalDateTime::fromParts(2026, 1, 5, 7, 5, 3);
    const LocalDateTime y2005 = LocalDateTime::fromParts(2005, 11, 30, 23, 59, 58);
    const NameCase cases[] = {
        {"backup", TArchiveFormat::Zip, passStart, "backup.zip"},
        {"backup", TArchiveFormat::Rar, passStart, "backup.rar"},
        {"data.2024", TArchiveFormat::Rar, passStart, "data.rar"},
        {"backup.zip", TArchiveFormat::Rar, passStart, "backup.rar"},
        {"backup.zip", TArchiveFormat::Rar4, passStart, "backup.rar"},
        {"backup.rar", TArchiveFormat::Zip, passStart, "backup.zip"},
        {"#Y-m-d#", TArchiveFormat::Rar, jan5, "2026-01-05.rar"},
        {"#y#", TArchiveFormat::Rar, y2005, "5.rar"},
        {"#y#", TArchiveFormat::Rar, passStart, "26.rar"},
        {"hns", TArchiveFormat::Rar, passStart, "hns.rar"},
        // An unclosed pattern runs on into the new extension.
        {"x#y", TArchiveFormat::Zip, LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9), "x26.z05p"},
        {"a#YMDHNIS#b", TArchiveFormat::Rar, jan5,
         "a20260105070505"
         "03b.rar"},
        {"#ymd_hns#", TArchiveFormat::Rar, y2005, "51130_235958.rar"},
        // Letters without a meaning inside a pattern stay as they are.
        {"#abc-Q#", TArchiveFormat::Rar, passStart, "abc-Q.rar"},
        {"##", TArchiveFormat::Rar, passStart, ".rar"},
        {"name.", TArchiveFormat::Rar, passStart, "name.rar"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExpandArchiveName(s(c.fileName), c.format, c.now, PathStyle::Windows),
                  s(c.expected))
            << c.fileName << " / " << ChoiceText(c.format).toStdString();
    }
}

TEST(ArchiveName, HashSignsNeverReachTheArchiveName)
{
    for (const char* name : {"#", "a#b#c#d", "###", "x.#y#", "#d#.#m#"}) {
        EXPECT_FALSE(ExpandArchiveName(s(name), TArchiveFormat::Rar, passStart, PathStyle::Windows)
                         .contains(QLatin1Char('#')))
            << name;
    }
}

TEST(ArchiveName, ExtensionSearchStopsAtThePathBarriersOfTheStyle)
{
    // A dot in a folder part is no extension: Windows stops at "\" and ":",
    // POSIX at "/".
    EXPECT_EQ(ExpandArchiveName(s("a.b\\c"), TArchiveFormat::Rar, passStart, PathStyle::Windows),
              s("a.b\\c.rar"));
    EXPECT_EQ(ExpandArchiveName(s("a.b:c"), TArchiveFormat::Rar, passStart, PathStyle::Windows),
              s("a.b:c.rar"));
    EXPECT_EQ(ExpandArchiveName(s("a.b:c"), TArchiveFormat::Rar, passStart, PathStyle::Posix),
              s("a.rar"));
    EXPECT_EQ(ExpandArchiveName(s("a.b/c"), TArchiveFormat::Rar, passStart, PathStyle::Posix),
              s("a.b/c.rar"));
}

TEST(ArchiveName, PosixDestinationFolderGetsASlash)
{
    TBackupRule rule;
    rule.DestinationFolder = s("/srv/backup");
    rule.DestinationFilename = s("docs_#ymd#");
    TWinRAROptions options;
    options.ArchiveFormat = TArchiveFormat::Zip;
    EXPECT_EQ(BuildArchiveFileName(rule, options, passStart, PathStyle::Posix),
              s("/srv/backup/docs_260327.zip"));
}

struct TokenCase
{
    const char* name;
    std::optional<TCompression> compression;
    TStorePaths storePaths;
    int threads;
    bool usePassword;
    const char* password;
    bool subfolders;
    bool update;
    const char* expected;
};

TEST(CommandLine, TokenTable)
{
    const TokenCase cases[] = {
        {"store", TCompression::Store, TStorePaths::Full, 0, false, "", false, false,
         "a -r- -m0 -IBCK -INUL \"-ILOGL\" -ep2 \"A\" \"S\\\""},
        {"fastest", TCompression::Fastest, TStorePaths::Full, 0, false, "", true, false,
         "a -r -m1 -IBCK -INUL \"-ILOGL\" -ep2 \"A\" \"S\\\""},
        {"fast", TCompression::Fast, TStorePaths::Full, 0, false, "", true, false,
         "a -r -m2 -IBCK -INUL \"-ILOGL\" -ep2 \"A\" \"S\\\""},
        {"good", TCompression::Good, TStorePaths::Full, 0, false, "", true, false,
         "a -r -m4 -IBCK -INUL \"-ILOGL\" -ep2 \"A\" \"S\\\""},
        {"best", TCompression::Best, TStorePaths::Full, 0, false, "", true, false,
         "a -r -m5 -IBCK -INUL \"-ILOGL\" -ep2 \"A\" \"S\\\""},
        {"no level chosen", std::nullopt, TStorePaths::Full, 0, false, "", true, false,
         "a -r -IBCK -INUL \"-ILOGL\" -ep2 \"A\" \"S\\\""},
        {"relative paths", TCompression::Normal, TStorePaths::Relative, 0, false, "", true, false,
         "a -r -m3 -IBCK -INUL \"-ILOGL\" -ep1 \"A\" \"S\\\""},
        {"full paths and drive", TCompression::Normal, TStorePaths::FullWithDrive, 0, false, "",
         true, false, "a -r -m3 -IBCK -INUL \"-ILOGL\" -ep3 \"A\" \"S\\\""},
        {"negative threads", TCompression::Normal, TStorePaths::Full, -3, false, "", true, false,
         "a -r -m3 -IBCK -INUL \"-ILOGL\" -ep2 \"A\" \"S\\\""},
        {"64 threads", TCompression::Normal, TStorePaths::Full, 64, false, "", true, false,
         "a -r -m3 -IBCK -INUL -mt64 \"-ILOGL\" -ep2 \"A\" \"S\\\""},
        {"password flag with empty password", TCompression::Normal, TStorePaths::Full, 0, true, "",
         true, false, "a -r -m3 -IBCK -INUL \"-ILOGL\" -ep2 \"A\" \"S\\\""},
        {"password without the flag", TCompression::Normal, TStorePaths::Full, 0, false, "pw", true,
         false, "a -r -m3 -IBCK -INUL \"-ILOGL\" -ep2 \"A\" \"S\\\""},
        {"password inserted as is", TCompression::Normal, TStorePaths::Full, 0, true, "a b%c", true,
         true, "u -r -m3 \"-pa b%c\" -IBCK -INUL \"-ILOGL\" -ep2 \"A\" \"S\\\""},
    };
    for (const auto& c : cases) {
        TBackupRule rule;
        rule.SourceFolder = s("S\\");
        rule.IncludeSubFolders = c.subfolders;
        rule.UsePassword = c.usePassword;
        rule.Password = s(c.password);
        TWinRAROptions options;
        options.Compression = c.compression;
        options.StorePaths = c.storePaths;
        options.NumThreads = c.threads;
        options.UpdateMode = c.update;
        EXPECT_EQ(BuildCommandLine(rule, options, s("A"), s("L"), PathStyle::Windows),
                  s(c.expected))
            << c.name;
    }
}

// RAR for Linux follows symbolic links and reads ~/.rarrc and the RAR
// variable unless told otherwise: a home folder's link to its parent would
// nest the backup in itself, and a "switches=-x*.bin" line would silently
// leave files out. WinRAR's command line stays as it is.
TEST(CommandLine, PosixRunsStoreLinksAsLinksAndIgnoreTheArchiversOwnConfiguration)
{
    TBackupRule rule;
    rule.SourceFolder = s("/home/ann/");
    rule.IncludeSubFolders = true;
    TWinRAROptions options;
    options.StorePaths = TStorePaths::Relative;
    EXPECT_EQ(BuildCommandLine(rule, options, s("/b/a.rar"), s("/l/e.log"), PathStyle::Posix),
              s("a -r -IBCK -INUL \"-ILOG/l/e.log\" -ep1 -ol -cfg- \"/b/a.rar\" \"/home/ann/\""));
    EXPECT_EQ(BuildCommandLine(rule, options, s("B:\\a.rar"), s("L"), PathStyle::Windows),
              s("a -r -IBCK -INUL \"-ILOGL\" -ep1 \"B:\\a.rar\" \"/home/ann/\""));
}

TEST(CommandLine, ArgumentVectorCarriesTokensWithoutQuotes)
{
    TBackupRule rule;
    rule.SourceFolder = s("/home/ann/My Documents/");
    rule.IncludeSubFolders = true;
    rule.UsePassword = true;
    rule.Password = s("two words");
    TWinRAROptions options;
    options.Compression = TCompression::Best;
    options.StorePaths = TStorePaths::Relative;
    const ArchiverTokens tokens = BuildArchiverTokens(
        rule, options, s("/srv/b k/a.rar"), s("/tmp/x/winrar_errors.log"), PathStyle::Posix);
    EXPECT_EQ(ArgumentVector(tokens),
              (QStringList{s("a"), s("-r"), s("-m5"), s("-ptwo words"), s("-IBCK"), s("-INUL"),
                           s("-ILOG/tmp/x/winrar_errors.log"), s("-ep1"), s("-ol"), s("-cfg-"),
                           s("/srv/b k/a.rar"), s("/home/ann/My Documents/")}));
    EXPECT_EQ(
        JoinParameterString(tokens),
        s("a -r -m5 \"-ptwo words\" -IBCK -INUL \"-ILOG/tmp/x/winrar_errors.log\" -ep1 -ol -cfg- "
          "\"/srv/b k/a.rar\" \"/home/ann/My Documents/\""));
}

struct ExclusionCase
{
    const char* name;
    const char* masks;
    // The exclusion tokens of the Windows parameter string, and the same
    // arguments on POSIX, joined by "|".
    const char* windows;
    const char* posix;
};

// Each mask becomes the exclusion switches that leave out exactly what it
// names: "*/" + a plain name finds it at any depth, files and folders alike;
// a wildcard mask takes a file switch and a folder switch; a path is taken
// below the source folder. Blanks around masks and empty masks are dropped.
TEST(CommandLine, ExclusionTokensForEachKindOfMask)
{
    const ExclusionCase cases[] = {
        {"none", "", "", ""},
        {"only separators between masks", " ; ;; ", "", ""},
        {"plain name", "node_modules", "\"-x*\\node_modules\"", "-x*/node_modules"},
        {"name with a blank", "My Files", "\"-x*\\My Files\"", "-x*/My Files"},
        {"non-ASCII name",
         "B\xc3\xbc"
         "cher",
         "\"-x*\\B\xc3\xbc"
         "cher\"",
         "-x*/B\xc3\xbc"
         "cher"},
        {"wildcard", "*.tmp", "\"-x*.tmp\" \"-x*.tmp\\\"", "-x*.tmp|-x*.tmp/"},
        {"question mark", "photo?.raw", "\"-xphoto?.raw\" \"-xphoto?.raw\\\"",
         "-xphoto?.raw|-xphoto?.raw/"},
        {"path", "photos/raw", "\"-xD:\\Data\\photos\\raw\"", "-x/home/ann/data/photos/raw"},
        {"path with separators at its ends", "/build/", "\"-xD:\\Data\\build\"",
         "-x/home/ann/data/build"},
        {"path with a wildcard", "build/*.o", "\"-xD:\\Data\\build\\*.o\"",
         "-x/home/ann/data/build/*.o"},
        {"separators alone name no entry", "/", "", ""},
        {"several in order", " node_modules;*.tmp ; .cache",
         "\"-x*\\node_modules\" \"-x*.tmp\" \"-x*.tmp\\\" \"-x*\\.cache\"",
         "-x*/node_modules|-x*.tmp|-x*.tmp/|-x*/.cache"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ArchiverTokens windows = ExclusionTokens(
            ParseExcludeMasks(s(c.masks), PathStyle::Windows), s("D:\\Data\\"), PathStyle::Windows);
        EXPECT_EQ(JoinParameterString(windows), s(c.windows));
        // A POSIX source folder as typed, without its final separator.
        const ArchiverTokens posix = ExclusionTokens(
            ParseExcludeMasks(s(c.masks), PathStyle::Posix), s("/home/ann/data"), PathStyle::Posix);
        EXPECT_EQ(ArgumentVector(posix).join(QLatin1Char('|')), s(c.posix));
    }
}

TEST(CommandLine, WindowsTakesBothSeparatorsInMasksPosixOnlyTheSlash)
{
    EXPECT_EQ(
        JoinParameterString(ExclusionTokens(ParseExcludeMasks(s("a\\b; c/d"), PathStyle::Windows),
                                            s("C:\\S\\"), PathStyle::Windows)),
        s("\"-xC:\\S\\a\\b\" \"-xC:\\S\\c\\d\""));
    // On POSIX a backslash is a character of a name.
    EXPECT_EQ(ArgumentVector(ExclusionTokens(ParseExcludeMasks(s("a\\b"), PathStyle::Posix),
                                             s("/s/"), PathStyle::Posix)),
              QStringList{s("-x*/a\\b")});
}

// The exclusions stand after the paths switch and before the archive path:
// quoted in the Windows parameter string, one argument each on POSIX.
TEST_F(WorkedExample, ExclusionsGoAfterThePathsSwitch)
{
    rule.ExcludeMasks = s("node_modules; *.tmp; My Files\\old");
    const QString archive = BuildArchiveFileName(rule, options, passStart, PathStyle::Windows);
    EXPECT_EQ(BuildCommandLine(rule, options, archive, s("E:\\Logs\\winrar_errors.log"),
                               PathStyle::Windows),
              s("a -r -m3 -IBCK -INUL -mt4 \"-ILOGE:\\Logs\\winrar_errors.log\" -ep1 "
                "\"-x*\\node_modules\" \"-x*.tmp\" \"-x*.tmp\\\" "
                "\"-xD:\\Data\\Projects\\My Files\\old\" "
                "\"E:\\Backup\\projects_260327_140509.rar\" \"D:\\Data\\Projects\\\""));

    TBackupRule posix;
    posix.SourceFolder = s("/home/ann/Projects/");
    posix.IncludeSubFolders = true;
    posix.ExcludeMasks = s("node_modules;*.tmp;My Files/old");
    EXPECT_EQ(
        ArgumentVector(BuildArchiverTokens(posix, options, s("/srv/p.rar"), s("/tmp/e.log"),
                                           PathStyle::Posix)),
        (QStringList{s("a"), s("-r"), s("-m3"), s("-IBCK"), s("-INUL"), s("-mt4"),
                     s("-ILOG/tmp/e.log"), s("-ep1"), s("-ol"), s("-cfg-"), s("-x*/node_modules"),
                     s("-x*.tmp"), s("-x*.tmp/"), s("-x/home/ann/Projects/My Files/old"),
                     s("/srv/p.rar"), s("/home/ann/Projects/")}));
}

TEST(ErrorLogFile, ExistingFolderWithOrWithoutSeparatorElseDefault)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString folder = QDir::toNativeSeparators(temp.path());
    const QString file = folder + QDir::separator() + s("plain.txt");
    test::writeFile(file, "x");
    const QString expected = folder + QDir::separator() + s("winrar_errors.log");
    const QString fallback = s("/fallback/winrar_errors.log");

    const struct
    {
        QString logFile;
        QString expected;
    } cases[] = {
        {folder, expected},    {folder + QDir::separator(), expected},
        {file, fallback},      {folder + QDir::separator() + s("missing"), fallback},
        {QString(), fallback},
    };
    for (const auto& c : cases) {
        TWinRAROptions options;
        options.LogFile = c.logFile;
        options.DefaultErrorLogFile = fallback;
        EXPECT_EQ(GetErrorLogFile(options), c.expected) << c.logFile.toStdString();
    }
}

// The default travels with the options: two passes with different data
// folders never see each other's.
TEST(ErrorLogFile, EachOptionsDefaultIsUsedWhenNoFolderIsGiven)
{
    TWinRAROptions first;
    first.DefaultErrorLogFile = s("/data/winrar_errors.log");
    TWinRAROptions second;
    second.DefaultErrorLogFile = s("/other/winrar_errors.log");
    EXPECT_EQ(GetErrorLogFile(first), s("/data/winrar_errors.log"));
    EXPECT_EQ(GetErrorLogFile(second), s("/other/winrar_errors.log"));
    EXPECT_EQ(GetErrorLogFile(TWinRAROptions{}), QString());
}

} // namespace
} // namespace tessaro
