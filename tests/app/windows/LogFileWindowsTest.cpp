// The log file on Windows: held open deny-write while a line is written, so
// other writers are refused and readers are not; 8-bit files are read in the
// ANSI code page when the first non-ASCII line turns them into UTF-8.

#include "TestFiles.h"
#include "app/LogFileWriter.h"
#include "core/SystemConventions.h"

#include <QFile>
#include <QTemporaryDir>
#include <qt_windows.h>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using test::readFile;
using test::writeFile;

class LogFileWindows : public ::testing::Test
{
protected:
    QString logFile() const { return m_dir.filePath(QStringLiteral("2603_tessaro.log")); }

private:
    QTemporaryDir m_dir;
};

TEST_F(LogFileWindows, OtherWritersAreRefusedWhileTheFileIsHeld)
{
    writeFile(logFile(), "first\r\n");
    QFile held(logFile());
    ASSERT_TRUE(openDenyingOtherWriters(held));

    QFile writer(logFile());
    EXPECT_FALSE(writer.open(QIODevice::Append));
    EXPECT_FALSE(appendLogLine(logFile(), QStringLiteral("refused")));
    QFile reader(logFile());
    EXPECT_TRUE(reader.open(QIODevice::ReadOnly));

    held.close();
    EXPECT_TRUE(appendLogLine(logFile(), QStringLiteral("second")));
    EXPECT_EQ(readFile(logFile()), QByteArray("first\r\nsecond\r\n"));
}

// The system's own conversion of the ANSI code page, independent of Qt's.
QString fromAnsiCodePage(const QByteArray& bytes)
{
    const int length =
        ::MultiByteToWideChar(CP_ACP, 0, bytes.constData(), int(bytes.size()), nullptr, 0);
    std::wstring wide(std::size_t(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.constData(), int(bytes.size()), wide.data(), length);
    return QString::fromStdWString(wide);
}

TEST_F(LogFileWindows, EightBitContentIsReadInTheAnsiCodePage)
{
    // 0x80 is the euro sign in the western code page and a control
    // character in Latin-1: the conversion shows which one was used.
    const QByteArray old("price 5\x80\r\n");
    writeFile(logFile(), old);

    ASSERT_TRUE(appendLogLine(logFile(), QStringLiteral("M\u00FCller")));

    const QByteArray expected =
        QByteArray("\xEF\xBB\xBF") +
        (fromAnsiCodePage(old) + QStringLiteral("M\u00FCller\r\n")).toUtf8();
    EXPECT_EQ(readFile(logFile()), expected);
    EXPECT_EQ(decodeEightBitLog(old), fromAnsiCodePage(old));
}

} // namespace
} // namespace tessaro
