#include "AppHarness.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using test::AppHarness;
using test::readFile;
using namespace Qt::StringLiterals;

struct ExtraCase
{
    const char* key;
    bool TSettings::*member;
};

class ExtraSettingsTest : public ::testing::TestWithParam<ExtraCase>
{
protected:
    ExtraSettingsTest() : app(LocalDateTime::fromParts(2026, 3, 27, 14, 5)) { app.addRule(u"a"_s); }

    QByteArray saved()
    {
        EXPECT_TRUE(app.logic.config().SaveConfig());
        return readFile(app.state.ConfigFileName);
    }

    AppHarness app;
};

TEST_P(ExtraSettingsTest, WrittenOnlyWhileDifferentFromTheDefault)
{
    const ExtraCase& c = GetParam();
    // A load places the window and the first save moves the rule sections
    // behind the others; from then on the file stays as it is.
    saved();
    ASSERT_EQ(app.logic.config().LoadConfig(), u"ok"_s);
    const QByteArray classic = saved();
    ASSERT_EQ(saved(), classic);
    EXPECT_FALSE(classic.contains("[extras]"));

    app.state.Settings.*c.member = true;
    EXPECT_EQ(QString::fromUtf8(saved()),
              QString::fromUtf8(classic + "[extras]\r\n" + c.key + "=1\r\n\r\n"));

    app.state.Settings = TSettings();
    ASSERT_EQ(app.logic.config().LoadConfig(), u"ok"_s);
    EXPECT_TRUE(app.state.Settings.*c.member);

    // Back at the default, the file is byte for byte what it was.
    app.state.Settings.*c.member = false;
    EXPECT_EQ(QString::fromUtf8(saved()), QString::fromUtf8(classic));
}

INSTANTIATE_TEST_SUITE_P(Keys, ExtraSettingsTest,
                         ::testing::Values(ExtraCase{"VerifyArchives", &TSettings::VerifyArchives},
                                           ExtraCase{"WarnWhenOverdue",
                                                     &TSettings::WarnWhenOverdue}),
                         [](const auto& info) { return std::string(info.param.key); });

TEST(ExtraSettings, TurningOneOffWhileAnotherStaysOnIsStored)
{
    AppHarness app(LocalDateTime::fromParts(2026, 3, 27, 14, 5));
    app.state.Settings.VerifyArchives = true;
    app.state.Settings.WarnWhenOverdue = true;
    ASSERT_TRUE(app.logic.config().SaveConfig());
    app.state.Settings.WarnWhenOverdue = false;
    ASSERT_TRUE(app.logic.config().SaveConfig());

    EXPECT_TRUE(readFile(app.state.ConfigFileName)
                    .endsWith("[extras]\r\nVerifyArchives=1\r\nWarnWhenOverdue=0\r\n\r\n"));
    app.state.Settings = TSettings();
    ASSERT_EQ(app.logic.config().LoadConfig(), u"ok"_s);
    EXPECT_TRUE(app.state.Settings.VerifyArchives);
    EXPECT_FALSE(app.state.Settings.WarnWhenOverdue);
}

} // namespace
} // namespace tessaro
