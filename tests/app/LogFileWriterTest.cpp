#include "app/LogFileWriter.h"

#include "FullFileSystem.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifndef Q_OS_WIN
#include <sys/file.h>
#endif

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;
using test::readFile;
using test::writeFile;

const QByteArray Utf8Mark("\xEF\xBB\xBF");

QByteArray utf16(QStringConverter::Encoding encoding, const QString& text)
{
    return QStringEncoder(encoding).encode(text);
}

class LogFileWriterTest : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString logFile() const { return path(u"2603_tessaro.log"_s); }

private:
    QTemporaryDir m_dir;
};

TEST_F(LogFileWriterTest, MissingFileIsCreatedWithoutMark)
{
    ASSERT_TRUE(appendLogLine(logFile(), u"first"_s));
    ASSERT_TRUE(appendLogLine(logFile(), u"second"_s));
    EXPECT_EQ(readFile(logFile()), QByteArray("first\r\nsecond\r\n"));
}

// The file's life through a month: plain 8-bit text while every line is
// ASCII (here with a Latin-1 byte from another program), UTF-8 with a mark
// from the first line that needs more, earlier content kept as text.
TEST_F(LogFileWriterTest, FirstNonAsciiLineTurnsTheFileIntoUtf8)
{
    writeFile(logFile(), QByteArray("first\r\ncaf\xE9\r\n"));

    ASSERT_TRUE(appendLogLine(logFile(), u"plain"_s));
    EXPECT_EQ(readFile(logFile()), QByteArray("first\r\ncaf\xE9\r\nplain\r\n"));

    ASSERT_TRUE(appendLogLine(logFile(), u"M\u00FCller"_s));
    const QByteArray converted = Utf8Mark + "first\r\ncaf\xC3\xA9\r\nplain\r\nM\xC3\xBCller\r\n";
    EXPECT_EQ(readFile(logFile()), converted);

    ASSERT_TRUE(appendLogLine(logFile(), u"Stra\u00DFe \u20AC"_s));
    ASSERT_TRUE(appendLogLine(logFile(), u"ascii"_s));
    EXPECT_EQ(readFile(logFile()), converted + "Stra\xC3\x9F"
                                               "e \xE2\x82\xAC\r\nascii\r\n");
}

TEST_F(LogFileWriterTest, EmptyFileCountsAsEightBit)
{
    writeFile(logFile(), {});
    ASSERT_TRUE(appendLogLine(logFile(), u"\u00C4"_s));
    EXPECT_EQ(readFile(logFile()), Utf8Mark + "\xC3\x84\r\n");
}

// Files with a mark grow in their own encoding, the mark kept in front.
TEST_F(LogFileWriterTest, FileWithMarkGetsItsOwnEncoding)
{
    const QString line = u"Gr\u00FC\u00DFe"_s;
    const QString text = line + u"\r\n"_s;
    struct Case
    {
        const char* name;
        QByteArray before;
        QByteArray appended;
    };
    const Case cases[] = {
        {"utf-8", Utf8Mark + "a\r\n", text.toUtf8()},
        {"utf-8 mark only", Utf8Mark, text.toUtf8()},
        {"utf-16 le", QByteArray("\xFF\xFE") + utf16(QStringConverter::Utf16LE, u"a\r\n"_s),
         utf16(QStringConverter::Utf16LE, text)},
        {"utf-16 be", QByteArray("\xFE\xFF") + utf16(QStringConverter::Utf16BE, u"a\r\n"_s),
         utf16(QStringConverter::Utf16BE, text)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(logFile(), c.before);
        ASSERT_TRUE(appendLogLine(logFile(), line));
        EXPECT_EQ(readFile(logFile()), c.before + c.appended);
    }
}

TEST_F(LogFileWriterTest, UnwritablePlaceFails)
{
    writeFile(path(u"plain-file"_s), "x");
    const QString cases[] = {
        path(u"missing/2603_tessaro.log"_s),
        path(u"plain-file/2603_tessaro.log"_s),
        path(QString()),
    };
    for (const QString& fileName : cases)
        EXPECT_FALSE(appendLogLine(fileName, u"line"_s)) << fileName.toStdString();
    EXPECT_FALSE(QDir(path(u"missing"_s)).exists());
    EXPECT_EQ(readFile(path(u"plain-file"_s)), QByteArray("x"));
}

// On a full disk a line fails, and no part of it stays in the file: the file
// is as it was, whether the line was to be appended or to turn the file into
// UTF-8. Once there is room again, lines get in.
TEST_F(LogFileWriterTest, FullDiskFailsTheLineAndLeavesTheFileAsItWas)
{
    test::FullFileSystem disk;
    if (!disk.skipReason().isEmpty())
        GTEST_SKIP() << disk.skipReason().toStdString();
    // Longer than the room left in the file's last page of memory.
    const QString longLine = QString(5000, u'x');
    struct Case
    {
        const char* name;
        QByteArray before;
        QString line;
    };
    const Case cases[] = {
        {"append", "first\r\n", longLine},
        {"turn into UTF-8", "first caf\xE9\r\n", longLine + u"\u00E4"_s},
        {"UTF-16",
         "\xFF\xFE"
         "f",
         longLine},
    };
    const QString file = disk.filePath(u"2603_tessaro.log"_s);
    const QString filler = disk.filePath(u"filler"_s);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray before = c.before + QByteArray(3000, 'o') + "\r\n";
        QFile::remove(filler);
        writeFile(file, before);
        ASSERT_TRUE(disk.fill());
        EXPECT_FALSE(appendLogLine(file, c.line));
        EXPECT_EQ(readFile(file), before);
    }
    QFile::remove(filler);
    writeFile(file, "first\r\n");
    ASSERT_TRUE(appendLogLine(file, u"room again"_s));
    EXPECT_EQ(readFile(file), QByteArray("first\r\nroom again\r\n"));
}

#ifndef Q_OS_WIN
// Another writer holding the lock keeps the line out, and the file whole; the
// next line after it lets go gets in.
TEST_F(LogFileWriterTest, FileLockedByAnotherWriterIsLeftAlone)
{
    writeFile(logFile(), "before\r\n");
    {
        QFile other(logFile());
        ASSERT_TRUE(other.open(QIODevice::ReadWrite));
        ASSERT_EQ(::flock(other.handle(), LOCK_EX), 0);
        EXPECT_FALSE(appendLogLine(logFile(), u"dropped"_s));
        EXPECT_FALSE(appendLogLine(logFile(), u"dropped \u00E4"_s));
    }
    EXPECT_EQ(readFile(logFile()), QByteArray("before\r\n"));
    ASSERT_TRUE(appendLogLine(logFile(), u"after"_s));
    EXPECT_EQ(readFile(logFile()), QByteArray("before\r\nafter\r\n"));
}
#endif

} // namespace
} // namespace tessaro
