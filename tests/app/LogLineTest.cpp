#include "app/LogLine.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;

const LocalDateTime Now = LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9);

TEST(LogLine, TextIsTrimmedAtBothEndsOnly)
{
    struct Case
    {
        QString text;
        QString expected;
    };
    const Case cases[] = {
        {u"backup: start"_s, u"27.03.2026 14:05:09 [I] backup: start"_s},
        // An empty text still leaves the blank after the bracket.
        {QString(), u"27.03.2026 14:05:09 [I] "_s},
        {u" \t\r\n"_s, u"27.03.2026 14:05:09 [I] "_s},
        {u"  \tbackup: x \r\n"_s, u"27.03.2026 14:05:09 [I] backup: x"_s},
        {u"\r\nfirst\r\nsecond\n"_s, u"27.03.2026 14:05:09 [I] first\\r\\nsecond"_s},
        {u"\u0001x\u001F"_s, u"27.03.2026 14:05:09 [I] x"_s},
        // A no-break space is above U+0020 and stays.
        {u"\u00A0x\u00A0"_s, u"27.03.2026 14:05:09 [I] \u00A0x\u00A0"_s},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatLogLine(Now, u"I"_s, c.text), c.expected) << c.text.toStdString();
}

TEST(LogLine, ControlCharactersInsideTheTextAreWrittenOut)
{
    struct Case
    {
        QString text;
        QString expected;
    };
    const Case cases[] = {
        {u"old\r\n01.01.2026 00:00:00 [E] FORGED LINE\r\nx.rar"_s,
         u"old\\r\\n01.01.2026 00:00:00 [E] FORGED LINE\\r\\nx.rar"_s},
        {u"a\tb"_s, u"a\\tb"_s},
        {u"a\u0000b\u0001c\u001Bd\u007Fe"_s, u"a\\x00b\\x01c\\x1Bd\\x7Fe"_s},
        {u"a\u0085b\u009Fc"_s, u"a\\x85b\\x9Fc"_s},
        {u"a\u2028b\u2029c"_s, u"a\\u2028b\\u2029c"_s},
        // Paths keep their backslashes; other characters stay as they are.
        {u"C:\\backup\\\u00E9t\u00E9.rar"_s, u"C:\\backup\\\u00E9t\u00E9.rar"_s},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(escapeControlCharacters(c.text), c.expected);
        EXPECT_EQ(formatLogLine(Now, u"I"_s, u"x "_s + c.text + u" y"_s),
                  u"27.03.2026 14:05:09 [I] x "_s + c.expected + u" y"_s);
    }
}

TEST(LogLine, TimestampIsZeroPaddedAndLevelUnchanged)
{
    const LocalDateTime early = LocalDateTime::fromParts(2026, 1, 2, 3, 4, 5);
    EXPECT_EQ(formatLogLine(early, u"w"_s, u"x"_s), u"02.01.2026 03:04:05 [w] x"_s);
}

TEST(LogLine, ColourFollowsTheExactLevelLetter)
{
    struct Case
    {
        QString level;
        RgbColor color;
    };
    const Case cases[] = {
        {u"I"_s, 0x000000}, {u"W"_s, 0xFF00FF}, {u"E"_s, 0xFF0000},  {u"F"_s, 0xFF0000},
        {u"w"_s, 0x000000}, {u"e"_s, 0x000000}, {u"WW"_s, 0x000000}, {QString(), 0x000000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(logLevelColor(c.level), c.color) << c.level.toStdString();
}

TEST(LogLine, SplitKeepsEmptyPiecesAndDropsQuotes)
{
    struct Case
    {
        QString line;
        QStringList pieces;
    };
    const Case cases[] = {
        {u"no quotes"_s, {u"no quotes"_s}},         {QString(), {QString()}},
        {u"a\"b\"c"_s, {u"a"_s, u"b"_s, u"c"_s}},   {u"a\"\"b"_s, {u"a"_s, QString(), u"b"_s}},
        {u"a\"b\""_s, {u"a"_s, u"b"_s, QString()}}, {u"\""_s, {QString(), QString()}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(splitLogLine(c.line), c.pieces) << c.line.toStdString();
}

TEST(LogLine, LinkRuleOfEachPathStyle)
{
    struct Case
    {
        PathStyle style;
        QString piece;
        bool isLink;
    };
    const Case cases[] = {
        {PathStyle::Windows, u"D:\\Docs"_s, true},
        {PathStyle::Windows, u"D:\\"_s, true},
        // Only the first ":\" counts.
        {PathStyle::Windows, u"D:\\a:\\b"_s, true},
        {PathStyle::Windows, u"xD:\\Docs"_s, false},
        {PathStyle::Windows, u" D:\\Docs"_s, false},
        {PathStyle::Windows, u"\\\\server\\share"_s, false},
        {PathStyle::Windows, u"docs\\sub"_s, false},
        {PathStyle::Windows, u"D:/Docs"_s, false},
        {PathStyle::Windows, u"D:"_s, false},
        {PathStyle::Windows, u"/home/docs"_s, false},
        {PathStyle::Windows, QString(), false},
        {PathStyle::Posix, u"/home/docs"_s, true},
        {PathStyle::Posix, u"/"_s, true},
        {PathStyle::Posix, u" /home/docs"_s, false},
        {PathStyle::Posix, u"home/docs"_s, false},
        {PathStyle::Posix, u"smb://server/share"_s, false},
        {PathStyle::Posix, u"D:\\Docs"_s, false},
        {PathStyle::Posix, QString(), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isLogLink(c.piece, c.style), c.isLink)
            << c.piece.toStdString() << (c.style == PathStyle::Windows ? " (Windows)" : " (POSIX)");
    }
}

TEST(LogLine, FileIsNamedByYearAndMonth)
{
    EXPECT_EQ(logFileName(u"/data/log/"_s, Now), u"/data/log/2603_tessaro.log"_s);
    EXPECT_EQ(logFileName(u"C:\\Tessaro\\log\\"_s, LocalDateTime::fromParts(2000, 12, 31, 23, 59)),
              u"C:\\Tessaro\\log\\0012_tessaro.log"_s);
}

} // namespace
} // namespace tessaro
