#include "core/ExcludeMask.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

QString s(const char* text)
{
    return QString::fromUtf8(text);
}

TEST(ExcludeMask, TextsAreSplitAtSemicolonsAndTrimmed)
{
    EXPECT_EQ(ExcludeMaskTexts(s(" node_modules; *.tmp ;;My Files/old ; ")),
              (QStringList{s("node_modules"), s("*.tmp"), s("My Files/old")}));
    EXPECT_TRUE(ExcludeMaskTexts(QString()).isEmpty());
}

TEST(ExcludeMask, KindFollowsWildcardsAndSeparators)
{
    using Kind = ExcludeMask::Kind;
    EXPECT_EQ(ParseExcludeMasks(s("cache; *.tmp; a?c; /build/; x//y\\z"), PathStyle::Windows),
              (ExcludeMaskList{{Kind::Name, s("cache")},
                               {Kind::Wildcard, s("*.tmp")},
                               {Kind::Wildcard, s("a?c")},
                               {Kind::Path, s("build")},
                               {Kind::Path, s("x/y/z")}}));
    EXPECT_EQ(ParseExcludeMasks(s("x\\y"), PathStyle::Posix),
              (ExcludeMaskList{{Kind::Name, s("x\\y")}}));
}

TEST(ExcludeMask, UnsafeWithAQuoteOrAControlCharacter)
{
    for (const char* safe : {"", "*.tmp; node_modules", "My Files/old",
                             "B\xc3\xbc"
                             "cher"})
        EXPECT_FALSE(HasUnsafeExcludeMasks(s(safe))) << safe;
    for (const char* unsafe : {"a\"b", "\" -df", "a\tb", "a\nb", "a\x7f"})
        EXPECT_TRUE(HasUnsafeExcludeMasks(s(unsafe))) << unsafe;
}

struct MatchCase
{
    const char* masks;
    const char* path;
    bool windows;
    bool posix;
};

// What each kind of mask leaves out, asked entry by entry below the source
// folder; letter case counts on POSIX only.
TEST(ExcludeMask, WhatTheMasksLeaveOut)
{
    const MatchCase cases[] = {
        {"node_modules", "node_modules", true, true},
        {"node_modules", "proj/deep/node_modules", true, true},
        {"node_modules", "node_modules.txt", false, false},
        {"node_modules", "Node_Modules", true, false},
        {"My Files", "a/My Files", true, true},
        {"B\xc3\xbc"
         "cher",
         "x/B\xc3\xbc"
         "cher",
         true, true},
        {"*.tmp", "a.tmp", true, true},
        {"*.tmp", "deep/down/b.tmp", true, true},
        {"*.tmp", "cache.tmp/inner.txt", false, false},
        {"*.tmp", "a.tmp.txt", false, false},
        {"*.TMP", "a.tmp", true, false},
        {"photo?.raw", "photo1.raw", true, true},
        {"photo?.raw", "photo12.raw", false, false},
        {"?", "\xc3\xa4", true, true},
        {"build", "build", true, true},
        {"/build", "build", true, true},
        {"/build", "docs/build", false, false},
        {"docs/build", "docs/build", true, true},
        {"docs/build", "docs/build/out.o", true, true},
        {"docs/build", "docs/builder", false, false},
        {"docs/build", "Docs/Build", true, false},
        {"docs/*.o", "docs/a/b.o", true, true},
        {"docs/*.o", "other/b.o", false, false},
        {"nothing; *.none", "notes.txt", false, false},
        {"*", "anything", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.masks) + " / " + c.path);
        EXPECT_EQ(IsExcluded(ParseExcludeMasks(s(c.masks), PathStyle::Windows), s(c.path),
                             PathStyle::Windows),
                  c.windows);
        EXPECT_EQ(IsExcluded(ParseExcludeMasks(s(c.masks), PathStyle::Posix), s(c.path),
                             PathStyle::Posix),
                  c.posix);
    }
}

TEST(ExcludeMask, WildcardsCoverTheWholeText)
{
    const struct
    {
        const char* pattern;
        const char* text;
        bool match;
    } cases[] = {
        {"*", "", true},
        {"", "", true},
        {"", "a", false},
        {"a*", "abc", true},
        {"*c", "abc", true},
        {"*b*", "abc", true},
        {"a*c", "ac", true},
        {"a*c", "abcb", false},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"**a", "ba", true},
        {"a*b*c", "a/b/c", true},
        {"*.tmp", "x.tmp.y", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WildcardMatch(s(c.pattern), s(c.text), Qt::CaseSensitive), c.match)
            << c.pattern << " / " << c.text;
    }
}

} // namespace
} // namespace tessaro
