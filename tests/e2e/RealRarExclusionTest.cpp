// What a rule's exclusions leave out of an archive that the real RAR for
// Linux makes: the program runs one pass at start-up with the real archiver
// and the archive's entry list is read back with unrar.

#include "EndToEndFixture.h"
#include "RealRarLookup.h"

#include <QProcessEnvironment>

#include <gtest/gtest.h>
#include <ostream>

namespace tessaro {
namespace {

// Files and folders at the top and deep down, names with blanks and letters
// outside ASCII. Every folder holds a file, so the folder list follows.
const char* const sourceFiles[] = {
    "top.txt",
    "a.tmp",
    "my file.txt",
    "node_modules.txt",
    "node_modules/pkg/index.js",
    "proj/keep.txt",
    "proj/b.tmp",
    "proj/node_modules/x.js",
    "proj/deep/node_modules",
    "proj/y.tmp/in.txt",
    "cache.tmp/inner.txt",
    "sub dir/my file.txt",
    "B\xc3\xbc"
    "cher/\xc3\xa4rger.txt",
    "docs/build/out.o",
    "docs/readme.md",
    "build/out.o",
};

// Every entry of the tree: its files and the folders above them.
QStringList everyEntry()
{
    QStringList entries;
    for (const char* file : sourceFiles) {
        const QString path = QString::fromUtf8(file);
        entries.append(path);
        for (qsizetype slash = path.indexOf(u'/'); slash >= 0;
             slash = path.indexOf(u'/', slash + 1))
            entries.append(path.left(slash));
    }
    entries.removeDuplicates();
    entries.sort();
    return entries;
}

QStringList without(QStringList entries, std::initializer_list<const char*> gone)
{
    for (const char* entry : gone)
        entries.removeAll(QString::fromUtf8(entry));
    return entries;
}

class RealRarExclusion : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString missing = test::realRarMissingReason();
        if (!missing.isEmpty())
            GTEST_SKIP() << missing.toStdString();
        source = test::withSlash(run.path(s("source")));
        destination = test::withSlash(run.path(s("backup")));
        for (const char* file : sourceFiles)
            test::writeFile(source + QString::fromUtf8(file), "data");
        QDir().mkpath(destination);
    }

    // One pass at start-up over one rule with the masks, then the program
    // ends. The user's own RAR configuration stays out of it: HOME is a
    // folder of the test's.
    int backUp(const QString& masks, const char* storePaths = "Relative paths")
    {
        const QString home = run.path(s("home"));
        QDir().mkpath(home);
        QString ini = s("[Settings]\r\nWinRARLocation=") + test::realRarProgram() +
                      s("\r\nBackupOnStart=1\r\nExitAfterBackupOnce=1\r\nStorePaths=") +
                      s(storePaths) + s("\r\n[backup_rules_0]\r\nSourceFolder=") + source +
                      s("\r\nDestinationFolder=") + destination +
                      s("\r\nDestinationFilename=docs\r\nIncludeSubFolders=1\r\n");
        if (!masks.isEmpty())
            ini += s("ExcludeMasks=") + masks + s("\r\n");
        run.writeConfig(ini.toUtf8());
        QProcessEnvironment environment;
        environment.insert(s("HOME"), home);
        return run.run(environment);
    }

    QString archive() const { return destination + s("docs.rar"); }

    // The archive's entries below the source folder.
    QStringList entries(bool fullPaths = false) const
    {
        const std::optional<QStringList> names = test::rarEntryNames(archive());
        if (!names)
            return {s("<archive not readable>")};
        if (!fullPaths)
            return *names;
        // Full paths are stored without their leading "/"; the folders above
        // the source folder come along.
        const QString prefix = source.mid(1);
        QStringList below;
        for (const QString& name : *names) {
            if (name.startsWith(prefix))
                below.append(name.mid(prefix.size()));
        }
        return below;
    }

    ProgramRun run;
    QString source;
    QString destination;
};

struct ExclusionCase
{
    const char* name;
    const char* masks;
    std::initializer_list<const char*> leftOut;
};

void PrintTo(const ExclusionCase& c, std::ostream* out)
{
    *out << c.name << " (" << c.masks << ")";
}

const ExclusionCase exclusionCases[] = {
    {"NameAtEveryDepthFilesAndFolders",
     "node_modules",
     {"node_modules", "node_modules/pkg", "node_modules/pkg/index.js", "proj/node_modules",
      "proj/node_modules/x.js", "proj/deep/node_modules"}},
    {"WildcardFilesAndFoldersAtEveryDepth",
     "*.tmp",
     {"a.tmp", "proj/b.tmp", "cache.tmp", "cache.tmp/inner.txt", "proj/y.tmp",
      "proj/y.tmp/in.txt"}},
    {"NameWithABlank", "my file.txt", {"my file.txt", "sub dir/my file.txt"}},
    {"FolderWithABlank", "sub dir", {"sub dir", "sub dir/my file.txt"}},
    {"FolderOutsideAscii",
     "B\xc3\xbc"
     "cher",
     {"B\xc3\xbc"
      "cher",
      "B\xc3\xbc"
      "cher/\xc3\xa4rger.txt"}},
    {"FileOutsideAsciiDeep",
     "\xc3\xa4rger.txt",
     {"B\xc3\xbc"
      "cher/\xc3\xa4rger.txt"}},
    {"PathAtTheTopOnly", "/build", {"build", "build/out.o"}},
    {"PathDeep", "docs/build", {"docs/build", "docs/build/out.o"}},
    {"PathWithAWildcardReachesIntoSubfolders", "docs/*.o", {"docs/build/out.o"}},
    {"MasksThatMatchNothing", "nothing; *.none; no/such/path", {}},
    {"LetterCaseCounts", "Node_Modules; *.TMP", {}},
};

class RealRarExclusionCase : public RealRarExclusion,
                             public ::testing::WithParamInterface<ExclusionCase>
{};

TEST_P(RealRarExclusionCase, ArchiveHoldsEverythingButWhatTheMasksName)
{
    ASSERT_EQ(backUp(QString::fromUtf8(GetParam().masks)), 0) << run.errorOutput().toStdString();
    EXPECT_EQ(entries(), without(everyEntry(), GetParam().leftOut));
}

INSTANTIATE_TEST_SUITE_P(Masks, RealRarExclusionCase, ::testing::ValuesIn(exclusionCases),
                         [](const ::testing::TestParamInfo<ExclusionCase>& info) {
                             return std::string(info.param.name);
                         });

// The case users ask for first: node_modules and temporary files left out,
// everything else kept, with relative and with full paths in the archive.
TEST_F(RealRarExclusion, NodeModulesAndTemporaryFilesAreLeftOutAndNothingElse)
{
    const QStringList expected =
        without(everyEntry(), {"node_modules", "node_modules/pkg", "node_modules/pkg/index.js",
                               "proj/node_modules", "proj/node_modules/x.js",
                               "proj/deep/node_modules", "a.tmp", "proj/b.tmp", "cache.tmp",
                               "cache.tmp/inner.txt", "proj/y.tmp", "proj/y.tmp/in.txt"});
    for (const char* storePaths : {"Relative paths", "Full paths"}) {
        SCOPED_TRACE(storePaths);
        QFile::remove(archive());
        ASSERT_EQ(backUp(s("node_modules; *.tmp"), storePaths), 0)
            << run.errorOutput().toStdString();
        EXPECT_EQ(entries(s(storePaths) == s("Full paths")), expected);
        EXPECT_TRUE(run.logLines().contains(s("[I] backup: finished")));
    }
}

// Without masks the archive holds the whole tree: the masks above are what
// makes the difference.
TEST_F(RealRarExclusion, WithoutMasksTheArchiveHoldsEverything)
{
    ASSERT_EQ(backUp(QString()), 0) << run.errorOutput().toStdString();
    EXPECT_EQ(entries(), everyEntry());
}

// Masks that leave out everything make the job report an empty source, as
// the real archiver would with nothing to add, but the archiver never starts.
TEST_F(RealRarExclusion, MasksThatLeaveOutEverythingSkipTheJob)
{
    EXPECT_EQ(backUp(s("*")), 1);
    EXPECT_FALSE(QFile::exists(archive()));
    const QStringList lines = run.logLines();
    EXPECT_TRUE(lines.contains(s("[W] backup: no files or folders found in source ") + q(source) +
                               s(". skipping backup.")))
        << lines.join(u'\n').toStdString();
    EXPECT_TRUE(lines.filter(s("backup: creating")).isEmpty());
    EXPECT_TRUE(lines.contains(s("[I] backup: finished (with errors)")));
}

} // namespace
} // namespace tessaro
