#include "core/Autoclean.h"

#include "QtPrinters.h"
#include "TestFiles.h"
#include "core/FileSize.h"
#include "core/PathRules.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <vector>

namespace tessaro {
namespace {

// An archive to put into the folder: its name, size in bytes and how many
// minutes before a fixed moment it was last modified.
struct ArchiveFile
{
    const char* name;
    qint64 size;
    int ageMinutes;
};

// A destination folder in a temporary place, the reports of one auto clean
// as "[level] text" lines, and the expected lines built the same way.
class AutocleanTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    // The folder as reports show it: native separators and a trailing one.
    QString folder() const
    {
        return withTrailingSeparator(QDir::toNativeSeparators(m_dir.path()), nativePathStyle());
    }
    QString path(const QString& name) const { return folder() + name; }
    QString path(const char* name) const { return path(QString::fromUtf8(name)); }

    void write(const ArchiveFile& file)
    {
        test::writeFile(path(file.name), QByteArray(file.size, 'x'));
        test::setModified(path(file.name), modified(file.ageMinutes));
    }
    void write(const std::vector<ArchiveFile>& files)
    {
        for (const ArchiveFile& file : files)
            write(file);
    }
    static QDateTime modified(int ageMinutes)
    {
        static const QDateTime now(QDate(2026, 3, 27), QTime(14, 5));
        return now.addSecs(-60LL * ageMinutes);
    }

    int clean(int maxFiles, qint64 maxBytes, const TDeleteFileProc& deleteFile = DeleteArchiveFile)
    {
        return cleanFolder(folder(), maxFiles, maxBytes, deleteFile);
    }
    int cleanFolder(const QString& dir, int maxFiles, qint64 maxBytes,
                    const TDeleteFileProc& deleteFile = DeleteArchiveFile)
    {
        const TLogProc log = [this](const QString& level, const QString& text) {
            lines.append(QLatin1Char('[') + level + QStringLiteral("] ") + text);
        };
        return AutoCleanFolder(dir, QStringLiteral("rar"), maxFiles, maxBytes, log, deleteFile);
    }

    // The entries left in the folder, sorted by name; folders end with "/".
    QStringList remaining() const
    {
        QStringList names;
        const QDir dir(m_dir.path());
        for (const QFileInfo& info : dir.entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                           QDir::System | QDir::NoDotAndDotDot,
                                                       QDir::Name)) {
            names.append(info.fileName() + (info.isDir() ? QStringLiteral("/") : QString()));
        }
        return names;
    }

    QString quotedFolder() const { return QLatin1Char('"') + folder() + QLatin1Char('"'); }
    static QString info(const QString& text) { return QStringLiteral("[I] auto clean: ") + text; }
    QString foundFiles(int count, int maxFiles) const
    {
        return info(QStringLiteral("found %1 rar files in ").arg(count) + quotedFolder() +
                    QStringLiteral(", which is above %1").arg(maxFiles));
    }
    QString foundBytes(qint64 total, qint64 maxBytes) const
    {
        return info(QStringLiteral("found ") + FormatFileSize(total) +
                    QStringLiteral(" of rar files in ") + quotedFolder() +
                    QStringLiteral(", which is above ") + FormatFileSize(maxBytes));
    }
    QString deleting(const char* name) const
    {
        return info(QStringLiteral("deleting ") + path(name));
    }
    QString deletingFreeing(const char* name, qint64 size) const
    {
        return deleting(name) + QStringLiteral(", freeing ") + FormatFileSize(size) +
               QStringLiteral(" disk space");
    }
    QString deleted(int count) const
    {
        return info(QStringLiteral("deleted %1 files in ").arg(count) + quotedFolder());
    }
    QString withinLimits() const
    {
        return info(QStringLiteral("files in ") + quotedFolder() +
                    QStringLiteral(" within limits, nothing to do"));
    }

    QStringList lines;

private:
    QTemporaryDir m_dir;
};

TEST_F(AutocleanTest, KeepsTheNewestFilesByModificationTime)
{
    // Names sort against the age order, and the oldest is a hidden file.
    write({{"a.rar", 10, 12},
           {".hidden.rar", 10, 13},
           {"b.rar", 10, 1},
           {"c.rar", 10, 2},
           {"d.rar", 10, 3},
           {"e.rar", 10, 4},
           {"f.rar", 10, 5},
           {"g.rar", 10, 6},
           {"h.rar", 10, 7},
           {"i.rar", 10, 8},
           {"j.rar", 10, 9},
           {"z.rar", 10, 10}});

    // The folder without its trailing separator: reports add it.
    EXPECT_EQ(cleanFolder(QDir::toNativeSeparators(folder().chopped(1)), 10, 0), 2);

    EXPECT_EQ(lines, (QStringList{foundFiles(12, 10), deleting(".hidden.rar"), deleting("a.rar"),
                                  deleted(2)}));
    EXPECT_EQ(remaining(), (QStringList{QStringLiteral("b.rar"), QStringLiteral("c.rar"),
                                        QStringLiteral("d.rar"), QStringLiteral("e.rar"),
                                        QStringLiteral("f.rar"), QStringLiteral("g.rar"),
                                        QStringLiteral("h.rar"), QStringLiteral("i.rar"),
                                        QStringLiteral("j.rar"), QStringLiteral("z.rar")}));
}

TEST_F(AutocleanTest, SizeLimitDeletesOldestUntilWithin)
{
    write({{"new.rar", 1000, 1},
           {"mid.rar", 2000, 2},
           {"old.rar", 3000, 3},
           {"ancient.rar", 4000, 4}});

    EXPECT_EQ(clean(0, 4000), 2);

    EXPECT_EQ(lines, (QStringList{foundBytes(10000, 4000), deletingFreeing("ancient.rar", 4000),
                                  deletingFreeing("old.rar", 3000), deleted(2)}));
    EXPECT_EQ(remaining(), (QStringList{QStringLiteral("mid.rar"), QStringLiteral("new.rar")}));
}

TEST_F(AutocleanTest, SizeLimitAddsUpBeyondFourGibibytes)
{
    constexpr qint64 gibi = 1024LL * 1024 * 1024;
    // Sparse files: the sizes are real, the disk blocks are not.
    for (const ArchiveFile& file :
         {ArchiveFile{"new.rar", 3 * gibi, 1}, {"old.rar", 3 * gibi, 2}}) {
        write({file.name, 0, file.ageMinutes});
        QFile sparse(path(file.name));
        if (!sparse.resize(file.size))
            GTEST_SKIP() << "no sparse files here";
        test::setModified(path(file.name), modified(file.ageMinutes));
    }

    EXPECT_EQ(clean(0, 5 * gibi), 1);

    EXPECT_EQ(lines, (QStringList{foundBytes(6 * gibi, 5 * gibi),
                                  deletingFreeing("old.rar", 3 * gibi), deleted(1)}));
}

struct WithinLimitsCase
{
    const char* name;
    std::vector<ArchiveFile> files;
    int maxFiles;
    qint64 maxBytes;
    // The newest file alone is above the size limit: reported, but kept.
    bool sizeFoundReport;
};

class AutocleanWithinLimitsTest : public AutocleanTest,
                                  public ::testing::WithParamInterface<WithinLimitsCase>
{};

TEST_P(AutocleanWithinLimitsTest, DeletesNothing)
{
    const WithinLimitsCase& c = GetParam();
    write(c.files);
    const QStringList before = remaining();
    qint64 total = 0;
    for (const ArchiveFile& file : c.files)
        total += file.size;

    EXPECT_EQ(clean(c.maxFiles, c.maxBytes), 0);

    QStringList expected;
    if (c.sizeFoundReport)
        expected.append(foundBytes(total, c.maxBytes));
    expected.append(withinLimits());
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(remaining(), before);
}

const std::vector<ArchiveFile> threeArchives{
    {"a.rar", 100, 3}, {"b.rar", 200, 2}, {"c.rar", 300, 1}};

INSTANTIATE_TEST_SUITE_P(
    Cases, AutocleanWithinLimitsTest,
    ::testing::Values(WithinLimitsCase{"ExactlyAtTheFileLimit", threeArchives, 3, 0, false},
                      WithinLimitsCase{"BelowTheFileLimit", threeArchives, 4, 0, false},
                      WithinLimitsCase{"NoLimits", threeArchives, 0, 0, false},
                      WithinLimitsCase{"NegativeLimits", threeArchives, -1, -1, false},
                      WithinLimitsCase{"TotalEqualsTheSizeLimit", threeArchives, 0, 600, false},
                      WithinLimitsCase{
                          "OneArchiveAboveTheSizeLimit", {{"big.rar", 5000, 1}}, 0, 1000, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AutocleanTest, CountsOnlyFilesWithTheExtensionInTheFolderItself)
{
    write({{"keep.rar", 100, 1},
           {"second.rar", 100, 2},
           {"older.zip", 5000, 10},
           {"older.rar.bak", 5000, 11},
           {"sub/oldest.rar", 5000, 12}});
    ASSERT_TRUE(QDir().mkpath(path("old.rar")));

    EXPECT_EQ(clean(0, 200), 0);
    EXPECT_EQ(lines, QStringList{withinLimits()});

    lines.clear();
    EXPECT_EQ(clean(1, 0), 1);
    EXPECT_EQ(lines, (QStringList{foundFiles(2, 1), deleting("second.rar"), deleted(1)}));
    EXPECT_EQ(remaining(), (QStringList{QStringLiteral("keep.rar"), QStringLiteral("old.rar/"),
                                        QStringLiteral("older.rar.bak"),
                                        QStringLiteral("older.zip"), QStringLiteral("sub/")}));
    EXPECT_TRUE(QFileInfo::exists(path("sub/oldest.rar")));
}

TEST_F(AutocleanTest, FolderNamedLikeAnArchiveStartsTheListingButNeverCounts)
{
    write({{"notes.zip", 10, 1}});
    ASSERT_TRUE(QDir().mkpath(path("old.rar")));

    EXPECT_EQ(clean(1, 0), 0);

    EXPECT_EQ(lines, QStringList{withinLimits()});
    EXPECT_TRUE(QFileInfo(path("old.rar")).isDir());
}

TEST_F(AutocleanTest, NothingToListGivesMinusOneWithoutReport)
{
    EXPECT_EQ(clean(1, 0), -1) << "empty folder";
    write({{"a.zip", 10, 1}, {"a.rar.tmp", 10, 2}});
    EXPECT_EQ(clean(1, 0), -1) << "no match";
    EXPECT_EQ(cleanFolder(path("missing"), 1, 0), -1) << "missing folder";
    EXPECT_TRUE(lines.isEmpty()) << lines.join(QLatin1Char('\n')).toStdString();
}

TEST_F(AutocleanTest, MatchesTheExtensionTheWayTheFileSystemComparesNames)
{
    write({{"OLD.RAR", 10, 10}, {"a.rar", 10, 1}, {"b.rar", 10, 2}});

#ifdef Q_OS_WIN
    EXPECT_EQ(clean(1, 0), 2);
    EXPECT_EQ(lines,
              (QStringList{foundFiles(3, 1), deleting("OLD.RAR"), deleting("b.rar"), deleted(2)}));
#else
    EXPECT_EQ(clean(1, 0), 1);
    EXPECT_EQ(lines, (QStringList{foundFiles(2, 1), deleting("b.rar"), deleted(1)}));
    EXPECT_EQ(remaining(), (QStringList{QStringLiteral("OLD.RAR"), QStringLiteral("a.rar")}));
#endif
}

TEST_F(AutocleanTest, WithoutLogCallbackDeletesTheSameSilently)
{
    write(threeArchives);

    EXPECT_EQ(AutoCleanFolder(folder(), QStringLiteral("rar"), 1, 0, TLogProc()), 2);

    EXPECT_EQ(remaining(), QStringList{QStringLiteral("c.rar")});
}

// Fails for one file name, as often as told, and deletes everything else.
TDeleteFileProc failingFor(const QString& path, int times, const QString& message)
{
    return [path, times, message](const QString& target, QString* error) mutable {
        if (target == path && times-- > 0) {
            *error = message;
            return false;
        }
        return DeleteArchiveFile(target, error);
    };
}

TEST_F(AutocleanTest, FailureInCountPhaseQuotesTheNameAndSizePhaseStillRuns)
{
    write({{"new.rar", 100, 1}, {"mid.rar", 200, 2}, {"old.rar", 300, 3}});

    EXPECT_EQ(clean(1, 250, failingFor(path("old.rar"), 1, QStringLiteral("Access is denied."))),
              2);

    EXPECT_EQ(lines,
              (QStringList{foundFiles(3, 1), deleting("old.rar"),
                           QStringLiteral("[E] auto clean: failed to delete \"") + path("old.rar") +
                               QStringLiteral("\". error: Access is denied."),
                           foundBytes(600, 250), deletingFreeing("old.rar", 300),
                           deletingFreeing("mid.rar", 200), deleted(2)}));
    EXPECT_EQ(remaining(), QStringList{QStringLiteral("new.rar")});
}

TEST_F(AutocleanTest, FailureInSizePhaseNamesTheFileWithoutQuotes)
{
    write({{"new.rar", 100, 1}, {"mid.rar", 200, 2}, {"old.rar", 300, 3}});

    EXPECT_EQ(clean(0, 150, failingFor(path("mid.rar"), 100, QStringLiteral("Permission denied"))),
              1);

    EXPECT_EQ(lines,
              (QStringList{foundBytes(600, 150), deletingFreeing("old.rar", 300),
                           deletingFreeing("mid.rar", 200),
                           QStringLiteral("[E] auto clean: failed to delete ") + path("mid.rar") +
                               QStringLiteral(". error: Permission denied"),
                           deleted(1)}));
    EXPECT_EQ(remaining(), (QStringList{QStringLiteral("mid.rar"), QStringLiteral("new.rar")}));
}

TEST_F(AutocleanTest, FailureWithoutAnyDeletionEndsWithinLimits)
{
    write({{"new.rar", 100, 1}, {"old.rar", 300, 3}});

    EXPECT_EQ(clean(1, 0, failingFor(path("old.rar"), 100, QStringLiteral("locked"))), 0);

    EXPECT_EQ(lines.size(), 4);
    EXPECT_EQ(lines.value(3), withinLimits());
}

TEST_F(AutocleanTest, DeletionReportsTheSystemsText)
{
    write({{"a.rar", 10, 1}});
    QString error;

    EXPECT_TRUE(DeleteArchiveFile(path("a.rar"), &error));
    EXPECT_FALSE(QFileInfo::exists(path("a.rar")));
    EXPECT_FALSE(DeleteArchiveFile(path("a.rar"), &error));
    EXPECT_FALSE(error.isEmpty());
}

// Symbolic links are neither counted, nor sized by their targets, nor
// deleted: a link to a huge file elsewhere must not make auto clean delete
// the real archives to "free" space it does not occupy.
struct LinkCase
{
    const char* name;
    int maxFiles;
    qint64 maxBytes;
};

class AutocleanLinkTest : public AutocleanTest, public ::testing::WithParamInterface<LinkCase>
{};

TEST_P(AutocleanLinkTest, LeavesLinksAndTheirTargetsAlone)
{
    if (QSysInfo::kernelType() == u"winnt")
        GTEST_SKIP() << "Windows makes shortcut files, not symbolic links";
    write(threeArchives);
    QTemporaryDir elsewhere;
    const QString bigTarget = elsewhere.filePath(QStringLiteral("big.bin"));
    test::writeFile(bigTarget, QByteArray(5000, 'x'));
    // Dated before every archive, so it would be the first to go.
    test::setModified(bigTarget, modified(100));
    if (!QFile::link(bigTarget, path("link-to-big.rar")) ||
        !QFile::link(path("a.rar"), path("link-to-a.rar")))
        GTEST_SKIP() << "no symbolic links here";

    EXPECT_EQ(clean(GetParam().maxFiles, GetParam().maxBytes), 0);

    EXPECT_EQ(lines, QStringList{withinLimits()});
    EXPECT_EQ(remaining(), (QStringList{QStringLiteral("a.rar"), QStringLiteral("b.rar"),
                                        QStringLiteral("c.rar"), QStringLiteral("link-to-a.rar"),
                                        QStringLiteral("link-to-big.rar")}));
    EXPECT_EQ(QFileInfo(bigTarget).size(), 5000);
}

INSTANTIATE_TEST_SUITE_P(Limits, AutocleanLinkTest,
                         ::testing::Values(LinkCase{"FileCount", 3, 0},
                                           LinkCase{"DiskUsage", 0, 600}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AutocleanTest, LinkAloneStartsTheListingButNeverCounts)
{
    QTemporaryDir elsewhere;
    test::writeFile(elsewhere.filePath(QStringLiteral("x.rar")), "x");
    if (!QFile::link(elsewhere.filePath(QStringLiteral("x.rar")), path("x.rar")))
        GTEST_SKIP() << "no symbolic links here";

    EXPECT_EQ(clean(0, 0), 0);
    EXPECT_EQ(lines, QStringList{withinLimits()});
}

// The pass's time in the fixture's terms: the moment modified(0) stands for.
TAutoCleanContext passContext(const QStringList& passArchives)
{
    return {passArchives, LocalDateTime::fromParts(2026, 3, 27, 14, 5)};
}

QString futureWarning(const QString& quotedFolder, int count)
{
    return QStringLiteral("[W] auto clean: %1 rar files in ").arg(count) + quotedFolder +
           QStringLiteral(" are dated in the future, so they count as newer than every new "
                          "archive");
}

// Archives dated in the future sort before the one the pass has just made;
// the count limit must not take the new archive for the oldest.
TEST_F(AutocleanTest, NeverDeletesTheArchiveOfThePassAndWarnsAboutFutureDates)
{
    write({{"future1.rar", 10, -60}, {"future2.rar", 10, -120}, {"future3.rar", 10, -180}});
    write({"new.rar", 10, 0});
    const TLogProc log = [this](const QString& level, const QString& text) {
        lines.append(QLatin1Char('[') + level + QStringLiteral("] ") + text);
    };

    EXPECT_EQ(
        AutoCleanFolder(folder(), QStringLiteral("rar"), 3, 0, log, passContext({path("new.rar")})),
        1);

    EXPECT_EQ(lines, (QStringList{futureWarning(quotedFolder(), 3), foundFiles(4, 3),
                                  deleting("future1.rar"), deleted(1)}));
    EXPECT_EQ(remaining(), (QStringList{QStringLiteral("future2.rar"),
                                        QStringLiteral("future3.rar"), QStringLiteral("new.rar")}));
}

struct PassArchiveCase
{
    const char* name;
    int maxFiles;
    qint64 maxBytes;
    QStringList left;
};

class AutocleanPassArchiveTest : public AutocleanTest,
                                 public ::testing::WithParamInterface<PassArchiveCase>
{};

// Two rules wrote into the same folder in this pass; even a limit below two
// archives, or a size limit both exceed, leaves both.
TEST_P(AutocleanPassArchiveTest, KeepsEveryArchiveOfThePass)
{
    write({{"old.rar", 100, 60}, {"first.rar", 300, 2}, {"second.rar", 300, 1}});

    const TLogProc log;
    const int deletedCount =
        AutoCleanFolder(folder(), QStringLiteral("rar"), GetParam().maxFiles, GetParam().maxBytes,
                        log, passContext({path("first.rar"), path("second.rar")}));

    EXPECT_EQ(deletedCount, 1);
    EXPECT_EQ(remaining(), GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, AutocleanPassArchiveTest,
    ::testing::Values(
        PassArchiveCase{
            "FileCount", 1, 0, {QStringLiteral("first.rar"), QStringLiteral("second.rar")}},
        PassArchiveCase{
            "DiskUsage", 0, 100, {QStringLiteral("first.rar"), QStringLiteral("second.rar")}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AutocleanTest, NoFutureWarningWithoutThePassTimeOrForThePassArchive)
{
    write({{"new.rar", 10, -5}, {"old.rar", 10, 5}});

    EXPECT_EQ(clean(5, 0), 0);
    EXPECT_EQ(lines, QStringList{withinLimits()}) << "no pass time";

    lines.clear();
    const TLogProc log = [this](const QString& level, const QString& text) {
        lines.append(QLatin1Char('[') + level + QStringLiteral("] ") + text);
    };
    EXPECT_EQ(
        AutoCleanFolder(folder(), QStringLiteral("rar"), 5, 0, log, passContext({path("new.rar")})),
        0);
    EXPECT_EQ(lines, QStringList{withinLimits()}) << "only the pass's own archive is newer";
}

TEST(AutocleanOrderTest, NewerSortsFirstAndEqualTimesCompareEqual)
{
    const TFileEntry older{QStringLiteral("b"), 1,
                           QDateTime(QDate(2026, 3, 27), QTime(14, 5)).toMSecsSinceEpoch()};
    const TFileEntry newer{QStringLiteral("a"), 1, older.Timestamp + 1};
    TFileEntry sameTime = older;
    sameTime.Filename = QStringLiteral("c");

    EXPECT_TRUE(NewerFirst(newer, older));
    EXPECT_FALSE(NewerFirst(older, newer));
    EXPECT_FALSE(NewerFirst(older, sameTime));
    EXPECT_FALSE(NewerFirst(sameTime, older));
}

} // namespace
} // namespace tessaro
