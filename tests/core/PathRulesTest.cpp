#include "core/PathRules.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

struct TrailingCase
{
    const char* input;
    PathStyle style;
    const char* expected;
};

TEST(PathRules, WithTrailingSeparator)
{
    const TrailingCase cases[] = {
        {"C:", PathStyle::Windows, "C:\\"},
        {"C:\\", PathStyle::Windows, "C:\\"},
        {"", PathStyle::Windows, "\\"},
        {"E:\\Logs", PathStyle::Windows, "E:\\Logs\\"},
        {"/srv/data", PathStyle::Posix, "/srv/data/"},
        {"/srv/data/", PathStyle::Posix, "/srv/data/"},
        {"", PathStyle::Posix, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(withTrailingSeparator(QString::fromUtf8(c.input), c.style),
                  QString::fromUtf8(c.expected))
            << c.input;
    }
}

TEST(PathRules, FolderComparisonFollowsTheStyle)
{
    const QString upper = QStringLiteral("D:\\Backup\\");
    const QString lower = QStringLiteral("d:\\backup\\");
    EXPECT_TRUE(sameFolderAscii(upper, lower, PathStyle::Windows));
    EXPECT_TRUE(sameFolderLocale(upper, lower, PathStyle::Windows));
    EXPECT_FALSE(sameFolderAscii(upper, lower, PathStyle::Posix));
    EXPECT_FALSE(sameFolderLocale(upper, lower, PathStyle::Posix));
    // Only ASCII letters fold in the file-system comparison.
    EXPECT_FALSE(
        sameFolderAscii(QStringLiteral("D:\\Ä\\"), QStringLiteral("D:\\ä\\"), PathStyle::Windows));
    EXPECT_TRUE(
        sameFolderLocale(QStringLiteral("D:\\Ä\\"), QStringLiteral("D:\\ä\\"), PathStyle::Windows));
}

TEST(PathRules, TrimRemovesControlCharactersAndBlanksAtBothEnds)
{
    EXPECT_EQ(trimControlAndBlanks(QStringLiteral("\t \x01 a b \r\n")), QStringLiteral("a b"));
    EXPECT_EQ(trimControlAndBlanks(QStringLiteral(" \t ")), QString());
}

} // namespace
} // namespace tessaro
