#include "app/CommandLineRequest.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;

const QString VersionText = u"Tessaro 1.60327\n"_s;

struct RequestCase
{
    const char* name;
    QStringList arguments;
    // Empty: the window starts.
    QString printed;
};

class CommandLineRequestTest : public ::testing::TestWithParam<RequestCase>
{};

TEST_P(CommandLineRequestTest, AnswersOnlyVersionAndHelp)
{
    const auto text = CommandLineRequestText(GetParam().arguments);
    if (GetParam().printed.isEmpty()) {
        EXPECT_FALSE(text.has_value());
        return;
    }
    ASSERT_TRUE(text.has_value());
    if (GetParam().printed == u"help"_s) {
        EXPECT_TRUE(text->startsWith(u"Usage: tessaro [--help | --version | --backup-once]\n"_s))
            << text->toStdString();
        EXPECT_TRUE(text->contains(u"  -v, --version  Show the version and end.\n"_s));
        EXPECT_TRUE(text->contains(u"  --backup-once  Run one backup pass"_s));
        EXPECT_TRUE(
            text->contains(u"  3  another copy of Tessaro runs on the same data folder\n"_s));
    } else {
        EXPECT_EQ(*text, GetParam().printed);
    }
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, CommandLineRequestTest,
    ::testing::Values(RequestCase{"None", {}, {}},
                      // The program reads no other argument: it still starts.
                      RequestCase{"OtherArgumentsAreIgnored", {u"--minimized"_s, u"x"_s}, {}},
                      RequestCase{"VersionLong", {u"--version"_s}, VersionText},
                      RequestCase{"VersionShort", {u"-v"_s}, VersionText},
                      RequestCase{"HelpLong", {u"--help"_s}, u"help"_s},
                      RequestCase{"HelpShort", {u"-h"_s}, u"help"_s},
                      RequestCase{"AfterAnIgnoredArgument", {u"x"_s, u"--version"_s}, VersionText},
                      RequestCase{"FirstRequestWins", {u"--version"_s, u"--help"_s}, VersionText},
                      // Only whole words count.
                      RequestCase{"NoPrefixMatch", {u"--vers"_s, u"--helpme"_s}, {}}),
    [](const ::testing::TestParamInfo<RequestCase>& info) { return std::string(info.param.name); });

TEST(CommandLineBackupOnce, IsAskedForByItsWholeWordAnywhere)
{
    EXPECT_TRUE(IsBackupOnceRequest({u"--backup-once"_s}));
    EXPECT_TRUE(IsBackupOnceRequest({u"x"_s, u"--backup-once"_s}));
    EXPECT_FALSE(IsBackupOnceRequest({}));
    EXPECT_FALSE(IsBackupOnceRequest({u"--backup"_s, u"--backup-once-more"_s, u"-b"_s}));
    // Help and version are answered first.
    EXPECT_TRUE(CommandLineRequestText({u"--backup-once"_s, u"--help"_s}).has_value());
}

} // namespace
} // namespace tessaro
