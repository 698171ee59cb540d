// The archive job judges what the archiver wrote by its first bytes: a file
// named ".zip" that holds RAR data (all RAR for Linux can write) is no backup.

#include "QtPrinters.h"
#include "RunToEnd.h"
#include "ScriptedArchiverRunner.h"
#include "TestFiles.h"
#include "core/ArchiveJob.h"
#include "core/ArchiveSignature.h"
#include "core/ArchiverExitCodes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;

const QByteArray zipBytes("PK\x03\x04 rest of a zip", 20);
const QByteArray emptyZipBytes("PK\x05\x06\0\0\0\0", 8);
const QByteArray rar5Bytes("Rar!\x1A\x07\x01\x00 rest", 13);
const QByteArray rar4Bytes("Rar!\x1A\x07\x00 rest", 12);

TEST(ArchiveSignature, TellsTheFormatByTheFirstBytes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct
    {
        QByteArray bytes;
        ArchiveKind kind;
    } cases[] = {
        {zipBytes, ArchiveKind::Zip},   {emptyZipBytes, ArchiveKind::Zip},
        {rar5Bytes, ArchiveKind::Rar5}, {rar4Bytes, ArchiveKind::Rar4},
        {"Rar!", ArchiveKind::Other},   {"", ArchiveKind::Other},
        {"PK", ArchiveKind::Other},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(u"a.bin"_s);
        test::writeFile(path, c.bytes);
        EXPECT_EQ(ReadArchiveKind(path), c.kind) << c.bytes.toHex().toStdString();
    }
    EXPECT_EQ(ReadArchiveKind(dir.filePath(u"missing"_s)), ArchiveKind::Unreadable);
    EXPECT_EQ(ReadArchiveKind(dir.path()), ArchiveKind::Unreadable);
}

class ZipCheck : public ::testing::Test
{
protected:
    ZipCheck()
    {
        test::writeFile(m_dir.filePath(u"source/data.txt"_s), "data");
        QDir().mkpath(m_dir.filePath(u"dest"_s));
        rule.SourceFolder =
            QDir::toNativeSeparators(m_dir.filePath(u"source"_s)) + QDir::separator();
        rule.DestinationFolder =
            QDir::toNativeSeparators(m_dir.filePath(u"dest"_s)) + QDir::separator();
        options.ArchiveFormat = TArchiveFormat::Zip;
        options.DefaultErrorLogFile = m_dir.filePath(u"winrar_errors.log"_s);
    }

    QString archive() const { return QDir::toNativeSeparators(m_dir.filePath(u"dest/bk.zip"_s)); }

    bool run(const QByteArray& written)
    {
        runner.archive = written;
        return test::archiveRuleToEnd(
            runner, u"/opt/rar"_s, rule, options, resultCode,
            [this](const QString& level, const QString& text) {
                lines.append(level + u": "_s + text);
            },
            archive());
    }

    QTemporaryDir m_dir;
    TBackupRule rule;
    TWinRAROptions options;
    test::ScriptedArchiverRunner runner;
    int resultCode = -1;
    QStringList lines;
};

TEST_F(ZipCheck, RarDataNamedZipFailsTheJobAndIsRemoved)
{
    EXPECT_FALSE(run(rar5Bytes));

    EXPECT_EQ(resultCode, ResultNotZipArchive);
    EXPECT_FALSE(QFile::exists(archive()));
    EXPECT_EQ(lines.mid(1),
              (QStringList{u"E: backup: failed, error: The archiver wrote no ZIP archive (RAR for "
                           u"Linux writes RAR archives only) (10004)"_s,
                           u"W: backup: removed \""_s + archive() +
                               u"\", which is not a ZIP archive"_s}));
}

// An update of an earlier such file: its data stays, under a name that
// says what it holds, beside anything already named so.
TEST_F(ZipCheck, MisnamedArchiveThatWasThereBeforeIsRenamedNotDeleted)
{
    test::writeFile(archive(), rar5Bytes);
    test::writeFile(archive() + u".rar"_s, "someone else's");

    EXPECT_FALSE(run(rar5Bytes));

    EXPECT_EQ(resultCode, ResultNotZipArchive);
    const QString kept = archive() + u".1.rar"_s;
    EXPECT_FALSE(QFile::exists(archive()));
    EXPECT_EQ(test::readFile(kept), rar5Bytes);
    EXPECT_EQ(test::readFile(archive() + u".rar"_s), "someone else's");
    EXPECT_EQ(lines.last(), u"W: backup: renamed \""_s + archive() +
                                u"\", which is not a ZIP archive, to \""_s + kept + u"\""_s);
}

TEST_F(ZipCheck, ZipDataOrAnotherChosenFormatPassesUnchecked)
{
    EXPECT_TRUE(run(zipBytes));
    EXPECT_EQ(resultCode, 0);

    // RAR chosen: whatever the archiver wrote is its own business.
    options.ArchiveFormat = TArchiveFormat::Rar;
    lines.clear();
    EXPECT_TRUE(run(zipBytes));
    EXPECT_EQ(resultCode, 0);
    EXPECT_TRUE(QFile::exists(archive()));
    EXPECT_TRUE(lines.filter(u"ZIP"_s).isEmpty());
}

// A failed run has its own error line; the check does not add to it.
TEST_F(ZipCheck, FailedRunIsReportedAsTheArchiverSaid)
{
    runner.resultCodes = {9};
    EXPECT_FALSE(run(rar5Bytes));
    EXPECT_EQ(resultCode, 9);
    EXPECT_TRUE(lines.filter(u"ZIP"_s).isEmpty());
}

} // namespace
} // namespace tessaro
