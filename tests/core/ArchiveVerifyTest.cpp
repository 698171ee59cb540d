#include "core/ArchiveVerify.h"

#include "QtPrinters.h"

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
    const ArchiverTokens tokens =
        BuildTestTokens(rule, u"D:\\Backup\\data 1.rar"_s, u"C:\\Tessaro\\winrar_errors.log"_s);
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

} // namespace
} // namespace tessaro
