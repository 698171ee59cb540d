#include "core/FileSize.h"

#include "QtPrinters.h"
#include "TestFiles.h"
#include "core/ArchiverExitCodes.h"

#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <ostream>

namespace tessaro {
namespace {

struct SizeCase
{
    qint64 size;
    const char* c;      // QLocale::C
    const char* german; // de_DE: decimal comma, "." would be its grouping
};

TEST(FileSize, FormatPicksTheUnitAndRendersTwoDecimalsWithoutGrouping)
{
    const SizeCase cases[] = {
        {0, "0.00 kB", "0,00 kB"},
        {500, "0.49 kB", "0,49 kB"},
        {1024, "1.00 kB", "1,00 kB"},
        {1048575, "1024.00 kB", "1024,00 kB"},
        {1048576, "1.00 MB", "1,00 MB"},
        {1073741823, "1024.00 MB", "1024,00 MB"},
        {1073741824, "1.00 GB", "1,00 GB"},
        {5368709120, "5.00 GB", "5,00 GB"},
        {1073741823999, "1000.00 GB", "1000,00 GB"},
        {Q_INT64_C(1099511627776) * 1024, "1048576.00 GB", "1048576,00 GB"},
        // A missing file's -1 rounds to zero but keeps its sign, as "%.2f" does.
        {-1, "-0.00 kB", "-0,00 kB"},
        {-1048576, "-1024.00 kB", "-1024,00 kB"},
    };
    const QLocale c(QLocale::C);
    const QLocale german(QLocale::German, QLocale::Germany);
    for (const auto& testCase : cases) {
        EXPECT_EQ(FormatFileSize(testCase.size, c), QString::fromUtf8(testCase.c)) << testCase.size;
        EXPECT_EQ(FormatFileSize(testCase.size, german), QString::fromUtf8(testCase.german))
            << testCase.size;
    }
}

TEST(FileSize, FormatIgnoresTheLocalesGroupingEvenWhenItIsOn)
{
    QLocale english(QLocale::English, QLocale::UnitedStates);
    english.setNumberOptions(QLocale::DefaultNumberOptions);
    EXPECT_EQ(FormatFileSize(1073741823999, english), QStringLiteral("1000.00 GB"));
    EXPECT_EQ(FormatFileSize(1048575, english), QStringLiteral("1024.00 kB"));
}

TEST(FileSize, SizeOfCountsFilesOnly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    test::writeFile(dir.filePath(QStringLiteral("three.bin")), "abc");
    test::writeFile(dir.filePath(QStringLiteral("empty.bin")), {});

    EXPECT_EQ(FileSizeOf(dir.filePath(QStringLiteral("three.bin"))), 3);
    EXPECT_EQ(FileSizeOf(dir.filePath(QStringLiteral("empty.bin"))), 0);
    EXPECT_EQ(FileSizeOf(dir.path()), -1);
    EXPECT_EQ(FileSizeOf(dir.filePath(QStringLiteral("missing.bin"))), -1);
    EXPECT_EQ(FileSizeOf(QString()), -1);
}

TEST(ArchiverExitCodes, TextOfEveryCode)
{
    const std::pair<int, const char*> cases[] = {
        {0, "Successful operation"},
        {1, "Warning. Non fatal error(s) occurred"},
        {2, "A fatal error occurred"},
        {3, "Invalid checksum. Data is damaged"},
        {4, "Attempt to modify a locked archive"},
        {5, "Write error"},
        {6, "File open error"},
        {7, "Wrong command line option"},
        {8, "Not enough memory"},
        {9, "File create error"},
        {10, "No files matching the specified mask and options were found"},
        {11, "Wrong password"},
        {255, "User break"},
        {10000, "Failed to start WinRAR"},
        {10001, "WinRAR did not create an archive file"},
        {12, "unknown error"},
        {254, "unknown error"},
        {256, "unknown error"},
        {10002, "unknown error"},
        {10003, "unknown error"},
        {-1, "unknown error"},
        {-255, "unknown error"},
    };
    for (const auto& [code, text] : cases)
        EXPECT_EQ(WinRARExitCodeText(code), QString::fromUtf8(text)) << code;
}

} // namespace
} // namespace tessaro
