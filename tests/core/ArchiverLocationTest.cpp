#include "core/ArchiverLocation.h"

#include "QtPrinters.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;
using test::writeFile;

// A folder tree built by the test. An entry path ending in "/" is a folder.
class ArchiverTree
{
public:
    QString root() const { return QDir::toNativeSeparators(m_dir.path()); }
    QString path(const QString& relative) const
    {
        return QDir::toNativeSeparators(m_dir.path() + u'/' + relative);
    }

    QString add(const QString& relative) const
    {
        if (relative.endsWith(u'/'))
            QDir().mkpath(path(relative));
        else
            writeFile(path(relative), "program");
        return path(relative);
    }

private:
    QTemporaryDir m_dir;
};

// ---- Folder scan ---------------------------------------------------------

struct ScanCase
{
    const char* what;
    std::vector<const char*> entries;
    // Relative to the start folder; empty when nothing may be found.
    const char* expected;
};

void PrintTo(const ScanCase& c, std::ostream* os)
{
    *os << c.what;
}

class ArchiverFolderScanTest : public ::testing::TestWithParam<ScanCase>
{};

TEST_P(ArchiverFolderScanTest, FindsTheFirstEntryNamedLikeTheArchiver)
{
    const ScanCase& c = GetParam();
    ArchiverTree tree;
    for (const char* entry : c.entries)
        tree.add(QString::fromUtf8(entry));

    const QString expected = *c.expected ? tree.path(QString::fromUtf8(c.expected)) : QString();
    EXPECT_EQ(FindWinRARInFolder(tree.root(), 0, u"rar"_s), expected);
    // A start folder that already ends with its separator gets no second one.
    EXPECT_EQ(FindWinRARInFolder(tree.root() + QDir::separator(), 0, u"rar"_s), expected);
}

// The start folder is depth 0; folders at depth 3 are listed, not entered.
// Cases that depend on the order of two entries in one folder would depend on
// the file system, so each folder here holds at most one candidate.
INSTANTIATE_TEST_SUITE_P(
    Cases, ArchiverFolderScanTest,
    ::testing::Values(
        ScanCase{"depth0", {"rar"}, "rar"}, ScanCase{"depth1", {"a/rar"}, "a/rar"},
        ScanCase{"depth2", {"a/b/rar"}, "a/b/rar"}, ScanCase{"depth3", {"a/b/c/rar"}, "a/b/c/rar"},
        ScanCase{"depth4IsNotEntered", {"a/b/c/d/rar"}, ""},
        ScanCase{"spellingOfTheFileSystemKept", {"x/RaR"}, "x/RaR"},
        ScanCase{"folderNamedLikeTheArchiverMatches", {"a/rar/"}, "a/rar"},
        ScanCase{"subfolderSearchedBeforeItsOwnName", {"rar/rar"}, "rar/rar"},
        ScanCase{"folderAtDepth3MatchesWithoutBeingEntered", {"a/b/c/rar/rar"}, "a/b/c/rar"},
        ScanCase{"hiddenEntriesIncluded", {".cache/rar"}, ".cache/rar"},
        ScanCase{"nameMustMatchWhole", {"rar.txt", "a/unrar", "b/rar2/"}, ""},
        ScanCase{"emptyFolder", {}, ""}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(ArchiverFolderScan, WindowsStyleKeepsTheCapitalsOfTheFileSystem)
{
    ArchiverTree tree;
    tree.add(u"WinRAR/WinRAR.exe"_s);
    tree.add(u"WinRAR/Uninstall.exe"_s);

    const QString start = tree.root() + u'\\';
    EXPECT_EQ(FindWinRARInFolder(start, 0, u"winrar.exe"_s, PathStyle::Windows),
              start + u"WinRAR\\WinRAR.exe"_s);
}

TEST(ArchiverFolderScan, AFolderThatCannotBeListedFindsNothing)
{
    ArchiverTree tree;
    const QString file = tree.add(u"notAFolder"_s);
    EXPECT_EQ(FindWinRARInFolder(tree.path(u"missing"_s), 0, u"rar"_s, PathStyle::Posix),
              QString());
    EXPECT_EQ(FindWinRARInFolder(file, 0, u"rar"_s, PathStyle::Posix), QString());
}

TEST(ArchiverFolderScan, ABlankPosixFolderIsNotTheCurrentFolder)
{
    ArchiverTree tree;
    tree.add(u"rar"_s);
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(tree.root()));
    const QString found = FindWinRARInFolder(QString(), 0, u"rar"_s, PathStyle::Posix);
    QDir::setCurrent(previous);
    EXPECT_EQ(found, QString());
}

TEST(ArchiverFolderScan, LinksAreMatchedByNameButNotEntered)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "symbolic links need extra rights on Windows";
#else
    ArchiverTree tree;
    const QString outside = tree.add(u"outside/rar"_s);
    tree.add(u"scanned/"_s);
    // A link to a folder that holds the archiver, and a link back to the
    // start folder: neither is entered.
    ASSERT_TRUE(QFile::link(tree.path(u"outside"_s), tree.path(u"scanned/tools"_s)));
    ASSERT_TRUE(QFile::link(tree.path(u"scanned"_s), tree.path(u"scanned/loop"_s)));
    EXPECT_EQ(FindWinRARInFolder(tree.path(u"scanned"_s), 0, u"rar"_s, PathStyle::Posix),
              QString());

    // A link named like the archiver is what a package often installs.
    tree.add(u"scanned/bin/"_s);
    ASSERT_TRUE(QFile::link(outside, tree.path(u"scanned/bin/rar"_s)));
    EXPECT_EQ(FindWinRARInFolder(tree.path(u"scanned"_s), 0, u"rar"_s, PathStyle::Posix),
              tree.path(u"scanned/bin/rar"_s));
#endif
}

// ---- Sources and their order ---------------------------------------------

// A registry view holding the given values; a value not listed is missing.
RegistryValueReader registryHolding(const QHash<QString, QString>& values)
{
    return [values](const QString& name) {
        return values.value(name);
    };
}

// Candidate archivers at known places of a tree, with a scan folder that
// holds one and one that holds none.
class ArchiverSourcesTest : public ::testing::Test
{
protected:
    ArchiverSourcesTest()
    {
        tree.add(u"empty/"_s);
        tree.add(u"aFolder/"_s);
    }

    QString candidate(const QString& name) const { return tree.add(name + u"/rar"_s); }
    QString scanFolderWithArchiver(const QString& name) const
    {
        return tree.add(name + u"/sub/"_s + ArchiverFileName());
    }

    ArchiverTree tree;
};

TEST_F(ArchiverSourcesTest, TheFirstSourceWithAHitWins)
{
    const QString reg64 = candidate(u"reg64"_s);
    const QString reg32 = candidate(u"reg32"_s);
    const QString onPath = candidate(u"path"_s);
    const QString scan1 = scanFolderWithArchiver(u"scan1"_s);
    const QString scan2 = scanFolderWithArchiver(u"scan2"_s);
    const QString empty = tree.path(u"empty"_s);

    struct Case
    {
        const char* what;
        bool has64, has32, hasPath;
        QStringList folders;
        QString expected;
    };
    const Case cases[] = {
        {"64-bit view first", true, true, true, {tree.path(u"scan1"_s)}, reg64},
        {"then the 32-bit view", false, true, true, {tree.path(u"scan1"_s)}, reg32},
        {"then the search path", false, false, true, {tree.path(u"scan1"_s)}, onPath},
        {"then the first folder",
         false,
         false,
         false,
         {tree.path(u"scan1"_s), tree.path(u"scan2"_s)},
         scan1},
        {"later folders when earlier ones fail",
         false,
         false,
         false,
         {empty, tree.path(u"missing"_s), tree.path(u"scan2"_s)},
         scan2},
        {"nothing anywhere", false, false, false, {empty}, QString()},
    };
    for (const Case& c : cases) {
        ArchiverSources sources;
        sources.registry64 = registryHolding({{u"exe64"_s, c.has64 ? reg64 : QString()}});
        sources.registry32 = registryHolding({{u"exe"_s, c.has32 ? reg32 : QString()}});
        sources.pathLookup = [&] {
            return c.hasPath ? onPath : QString();
        };
        sources.scanFolders = c.folders;
        EXPECT_EQ(FindWinRAR(true, sources), c.expected) << c.what;
    }
}

TEST_F(ArchiverSourcesTest, WithoutTheFolderScanOnlyTheDirectSourcesCount)
{
    ArchiverSources sources;
    sources.scanFolders = {tree.path(u"scan"_s)};
    scanFolderWithArchiver(u"scan"_s);
    EXPECT_EQ(FindWinRAR(false, sources), QString());

    const QString onPath = candidate(u"path"_s);
    sources.pathLookup = [&] {
        return onPath;
    };
    EXPECT_EQ(FindWinRAR(false, sources), onPath);
}

TEST_F(ArchiverSourcesTest, ASearchPathHitThatIsNoFileFallsThroughToTheScan)
{
    ArchiverSources sources;
    sources.pathLookup = [&] {
        return tree.path(u"aFolder"_s);
    };
    sources.scanFolders = {tree.path(u"scan"_s)};
    const QString scanned = scanFolderWithArchiver(u"scan"_s);
    EXPECT_EQ(FindWinRAR(true, sources), scanned);
}

// The value of one registry value in a case, resolved against the tree.
enum class Value
{
    Missing,
    Empty,
    Blanks,
    Good64,
    GoodExe,
    Good32,
    Padded64,
    Stale,
    Folder,
};

struct RegistryCase
{
    const char* what;
    Value exe64In64, exeIn64, exe64In32, exeIn32;
    // What FindWinRAR returns; Missing for the folder scan's archiver.
    Value expected;
};

void PrintTo(const RegistryCase& c, std::ostream* os)
{
    *os << c.what;
}

class ArchiverRegistryTest : public ArchiverSourcesTest,
                             public ::testing::WithParamInterface<RegistryCase>
{
protected:
    QString text(Value value) const
    {
        switch (value) {
        case Value::Missing:
        case Value::Empty:
            return {};
        case Value::Blanks:
            return u" \t\r\n"_s;
        case Value::Good64:
            return m_good64;
        case Value::GoodExe:
            return m_goodExe;
        case Value::Good32:
            return m_good32;
        case Value::Padded64:
            return u" \t"_s + m_good64 + u"\r\n "_s;
        case Value::Stale:
            return tree.path(u"uninstalled/rar"_s);
        case Value::Folder:
            return tree.path(u"aFolder"_s);
        }
        return {};
    }

    RegistryValueReader view(Value exe64, Value exe) const
    {
        QHash<QString, QString> values;
        if (exe64 != Value::Missing)
            values.insert(u"exe64"_s, text(exe64));
        if (exe != Value::Missing)
            values.insert(u"exe"_s, text(exe));
        return registryHolding(values);
    }

    QString m_good64 = candidate(u"good64"_s);
    QString m_goodExe = candidate(u"goodExe"_s);
    QString m_good32 = candidate(u"good32"_s);
};

TEST_P(ArchiverRegistryTest, ReadsEachViewByItsRules)
{
    const RegistryCase& c = GetParam();
    ArchiverSources sources;
    sources.registry64 = view(c.exe64In64, c.exeIn64);
    sources.registry32 = view(c.exe64In32, c.exeIn32);
    sources.scanFolders = {tree.path(u"programs"_s)};
    const QString scanned = scanFolderWithArchiver(u"programs"_s);

    EXPECT_EQ(FindWinRAR(true, sources), c.expected == Value::Missing ? scanned : text(c.expected));
}

using V = Value;
INSTANTIATE_TEST_SUITE_P(
    Cases, ArchiverRegistryTest,
    ::testing::Values(
        RegistryCase{"exe64WinsOverExe", V::Good64, V::GoodExe, V::Good32, V::Good32, V::Good64},
        RegistryCase{"emptyExe64FallsBackToExe", V::Empty, V::GoodExe, V::Good32, V::Good32,
                     V::GoodExe},
        RegistryCase{"missingExe64FallsBackToExe", V::Missing, V::GoodExe, V::Missing, V::Missing,
                     V::GoodExe},
        RegistryCase{"blankExe64CountsAsEmpty", V::Blanks, V::GoodExe, V::Missing, V::Missing,
                     V::GoodExe},
        RegistryCase{"staleExe64SilencesTheViewSo32BitIsTried", V::Stale, V::GoodExe, V::Missing,
                     V::Good32, V::Good32},
        RegistryCase{"staleExe64InBothViewsLeavesTheScan", V::Stale, V::GoodExe, V::Stale,
                     V::GoodExe, V::Missing},
        RegistryCase{"aFolderIsNoArchiver", V::Folder, V::Missing, V::Missing, V::Missing,
                     V::Missing},
        RegistryCase{"valuesAreTrimmed", V::Padded64, V::Missing, V::Missing, V::Missing,
                     V::Good64},
        RegistryCase{"only32BitView", V::Missing, V::Missing, V::Good32, V::Missing, V::Good32},
        RegistryCase{"emptyKeysLeaveTheScan", V::Missing, V::Missing, V::Missing, V::Missing,
                     V::Missing}),
    [](const auto& info) { return std::string(info.param.what); });

// The real search-path source, with PATH pointing at one temporary folder.
TEST(ArchiverPlatformSources, SearchPathFindsAnExecutableArchiver)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "Windows finds the archiver through the registry";
#else
    class PathGuard
    {
    public:
        explicit PathGuard(const QString& value)
            : m_wasSet(qEnvironmentVariableIsSet("PATH")), m_old(qgetenv("PATH"))
        {
            qputenv("PATH", QFile::encodeName(value));
        }
        ~PathGuard()
        {
            if (m_wasSet)
                qputenv("PATH", m_old);
            else
                qunsetenv("PATH");
        }

    private:
        bool m_wasSet;
        QByteArray m_old;
    };

    ArchiverTree tree;
    const QString archiver = tree.add(u"bin/rar"_s);
    ASSERT_TRUE(
        QFile::setPermissions(archiver, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    tree.add(u"empty/"_s);

    const ArchiverSources sources = PlatformArchiverSources();
    ASSERT_TRUE(sources.pathLookup);
    {
        const PathGuard path(tree.path(u"bin"_s));
        EXPECT_EQ(sources.pathLookup(), archiver);
    }
    {
        const PathGuard path(tree.path(u"empty"_s));
        EXPECT_EQ(sources.pathLookup(), QString());
    }
#endif
}

} // namespace
} // namespace tessaro
