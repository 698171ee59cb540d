#include "core/ArchiveVerify.h"

#include "QtPrinters.h"
#include "RunToEnd.h"
#include "ScriptedArchiverRunner.h"
#include "core/ArchiverExitCodes.h"
#include "core/ArchiverProcess.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;

struct TestTokensCase
{
    const char* name;
    bool usePassword;
    QString password;
    QString parameters;
};

class BuildTestTokensTest : public ::testing::TestWithParam<TestTokensCase>
{};

TEST_P(BuildTestTokensTest, GivesTheExactParameterString)
{
    const TestTokensCase& c = GetParam();
    TBackupRule rule;
    rule.UsePassword = c.usePassword;
    rule.Password = c.password;
    const ArchiverTokens tokens = BuildTestTokens(
        rule, u"D:\\Backup\\data 1.rar"_s, u"C:\\Tessaro\\winrar_errors.log"_s, PathStyle::Windows);
    EXPECT_EQ(JoinParameterString(tokens), c.parameters);
    EXPECT_EQ(ArgumentVector(tokens).first(), u"t"_s);
    EXPECT_EQ(ArgumentVector(tokens).last(), u"D:\\Backup\\data 1.rar"_s);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BuildTestTokensTest,
    ::testing::Values(
        TestTokensCase{
            "NoPassword",
            false,
            {},
            uR"(t -IBCK -INUL "-ILOGC:\Tessaro\winrar_errors.log" "D:\Backup\data 1.rar")"_s},
        TestTokensCase{
            "Password", true, u"se cret"_s,
            uR"(t "-pse cret" -IBCK -INUL "-ILOGC:\Tessaro\winrar_errors.log" "D:\Backup\data 1.rar")"_s},
        TestTokensCase{
            "PasswordSwitchedOff", false, u"secret"_s,
            uR"(t -IBCK -INUL "-ILOGC:\Tessaro\winrar_errors.log" "D:\Backup\data 1.rar")"_s},
        TestTokensCase{
            "EmptyPassword",
            true,
            {},
            uR"(t -IBCK -INUL "-ILOGC:\Tessaro\winrar_errors.log" "D:\Backup\data 1.rar")"_s}),
    [](const auto& info) { return std::string(info.param.name); });

// The test command runs through the runner in the archiver's working folder,
// with the options' error log; its result code alone decides the line.
TEST(VerifyArchive, ReportsTheRunnersResultCode)
{
    const struct
    {
        int code;
        QString line;
    } cases[] = {
        {0, uR"(I: backup: archive test passed for "/b/a 1.rar")"_s},
        {3,
         uR"(E: backup: archive test failed for "/b/a 1.rar", error: Invalid checksum. Data is damaged (3))"_s},
        {ResultStartFailed,
         uR"(E: backup: archive test failed for "/b/a 1.rar", error: Failed to start WinRAR (10000))"_s},
    };
    TBackupRule rule;
    TWinRAROptions options;
    options.DefaultErrorLogFile = u"/data/winrar_errors.log"_s;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        test::ScriptedArchiverRunner runner;
        runner.resultCodes = {c.code};
        QStringList lines;
        const TLogProc log = [&lines](const QString& level, const QString& text) {
            lines.append(level + u": "_s + text);
        };

        EXPECT_EQ(
            test::verifyArchiveToEnd(runner, u"/opt/rar"_s, rule, options, u"/b/a 1.rar"_s, log),
            c.code);

        ASSERT_EQ(runner.calls.size(), 1);
        EXPECT_EQ(runner.calls[0].program, u"/opt/rar"_s);
        EXPECT_EQ(runner.calls[0].tokens,
                  BuildTestTokens(rule, u"/b/a 1.rar"_s, u"/data/winrar_errors.log"_s));
        EXPECT_EQ(runner.calls[0].workingFolder, GetArchiverWorkingFolder());
        EXPECT_EQ(lines, QStringList{c.line});
        // Without a listener the result is the same.
        runner.resultCodes = {c.code};
        EXPECT_EQ(
            test::verifyArchiveToEnd(runner, u"/opt/rar"_s, rule, options, u"/b/a 1.rar"_s, {}),
            c.code);
    }
}

} // namespace
} // namespace tessaro
