// What the archive holds, where the stand-in archiver writes real ZIP data.

#include "EndToEndFixture.h"

#include <QFile>
#include <QProcess>

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

namespace tessaro {
namespace {

// The entry names of a ZIP archive, read with libarchive.
QStringList archiveEntries(const QString& archive)
{
    QStringList names;
    struct archive* reader = archive_read_new();
    archive_read_support_format_zip(reader);
    if (archive_read_open_filename(reader, QFile::encodeName(archive).constData(), 16384) ==
        ARCHIVE_OK) {
        struct archive_entry* entry = nullptr;
        while (archive_read_next_header(reader, &entry) == ARCHIVE_OK)
            names.append(QString::fromUtf8(archive_entry_pathname(entry)));
    }
    archive_read_free(reader);
    return names;
}

TEST_F(EndToEnd, ArchiveHoldsTheSourceFilesWithRelativePaths)
{
    configure(QString());

    ASSERT_EQ(run.run(), 0);

    const QStringList made = archives();
    ASSERT_EQ(made.size(), 1);
    QStringList entries = archiveEntries(destination + made.first());
    entries.sort();
    EXPECT_EQ(entries, (QStringList{s("notes.txt"), s("sub/"), s("sub/deep.txt")}));
}

#ifndef Q_OS_WIN
// The archiver is told to store links as links: one to the source's parent
// and one to nothing neither nest the backup in itself nor fail the rule.
TEST_F(EndToEnd, SymbolicLinksReachTheArchiveAsLinks)
{
    ASSERT_TRUE(QFile::link(s("../.."), source + s("sub/up")));
    ASSERT_TRUE(QFile::link(s("nowhere"), source + s("dangling")));
    configure(QString());

    ASSERT_EQ(run.run(), 0) << run.logLines().join(QLatin1Char('\n')).toStdString();

    const QStringList made = archives();
    ASSERT_EQ(made.size(), 1);
    QStringList entries = archiveEntries(destination + made.first());
    entries.sort();
    EXPECT_EQ(entries, (QStringList{s("dangling"), s("notes.txt"), s("sub/"), s("sub/deep.txt"),
                                    s("sub/up")}));
}
#endif

// The rule's exclusions reach the archiver, which leaves out what they name
// and keeps the rest.
TEST_F(EndToEnd, ExclusionsLeaveOutWhatTheyNameAndKeepTheRest)
{
    test::writeFile(source + s("node_modules/pkg/index.js"), "js");
    test::writeFile(source + s("sub/node_modules"), "a file of that name");
    test::writeFile(source + s("draft.tmp"), "tmp");
    test::writeFile(source + s("sub/cache.tmp/inner.txt"), "in a folder that matches");
    configure(QString(), s("ExcludeMasks=node_modules; *.tmp\r\n"));

    ASSERT_EQ(run.run(), 0);

    const QStringList made = archives();
    ASSERT_EQ(made.size(), 1);
    QStringList entries = archiveEntries(destination + made.first());
    entries.sort();
    EXPECT_EQ(entries, (QStringList{s("notes.txt"), s("sub/"), s("sub/deep.txt")}));
}

TEST_F(EndToEnd, LeftoversOfKilledArchiverRunsGoWhateverTheArchiveName)
{
    // The id of a process that has ended: nobody writes under it any more.
    QProcess ended;
    ended.start(builtProgram(TESSARO_FAKE_ARCHIVER), QStringList());
    ASSERT_TRUE(ended.waitForStarted());
    const QString deadId = QString::number(ended.processId());
    ASSERT_TRUE(ended.waitForFinished());
    // Left by a run killed a day earlier, under yesterday's archive name.
    const QString left = s(".docs_260326_140509.rar.standin-") + deadId + s("-Ab12Cd.tmp");
    test::writeFile(destination + left, "half an archive");
    configure(QString());

    ASSERT_EQ(run.run(), 0);

    EXPECT_FALSE(QFile::exists(destination + left));
    EXPECT_EQ(archives().size(), 1);
}

} // namespace
} // namespace tessaro
