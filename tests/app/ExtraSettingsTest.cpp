#include "AppHarness.h"
#include "QtPrinters.h"

#include <QFile>

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
        return readFile(app.logic.configFile().fileName());
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

    app.logic.changeSettings([&](TSettings& edited) { edited.*c.member = true; }, false);
    EXPECT_EQ(QString::fromUtf8(saved()),
              QString::fromUtf8(classic + "[extras]\r\n" + c.key + "=1\r\n\r\n"));

    app.logic.changeSettings([&](TSettings& edited) { edited = TSettings(); }, false);
    ASSERT_EQ(app.logic.config().LoadConfig(), u"ok"_s);
    EXPECT_TRUE(app.logic.settings().settings().*c.member);

    // Back at the default, the file is byte for byte what it was.
    app.logic.changeSettings([&](TSettings& edited) { edited.*c.member = false; }, false);
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
    app.logic.changeSettings([&](TSettings& edited) { edited.VerifyArchives = true; }, false);
    app.logic.changeSettings([&](TSettings& edited) { edited.WarnWhenOverdue = true; }, false);
    ASSERT_TRUE(app.logic.config().SaveConfig());
    app.logic.changeSettings([&](TSettings& edited) { edited.WarnWhenOverdue = false; }, false);
    ASSERT_TRUE(app.logic.config().SaveConfig());

    EXPECT_TRUE(readFile(app.logic.configFile().fileName())
                    .endsWith("[extras]\r\nVerifyArchives=1\r\nWarnWhenOverdue=0\r\n\r\n"));
    app.logic.changeSettings([&](TSettings& edited) { edited = TSettings(); }, false);
    ASSERT_EQ(app.logic.config().LoadConfig(), u"ok"_s);
    EXPECT_TRUE(app.logic.settings().settings().VerifyArchives);
    EXPECT_FALSE(app.logic.settings().settings().WarnWhenOverdue);
}

TEST(ExtraSettings, KeysThisVersionDoesNotKnowAreKept)
{
    AppHarness app(LocalDateTime::fromParts(2026, 3, 27, 14, 5));
    const QString file = app.logic.configFile().fileName();
    for (const QByteArray& extras :
         {QByteArray("[extras]\r\nFutureKey=7\r\n"),
          QByteArray("[extras]\r\nVerifyArchives=0\r\nFutureKey=7\r\n"),
          QByteArray("[extras]\r\nVerifyArchives=1\r\nFutureKey=7\r\nAnother=x\r\n")}) {
        SCOPED_TRACE(extras.constData());
        test::writeFile(file, "[Settings]\r\n\r\n" + extras);
        ASSERT_EQ(app.logic.config().LoadConfig(), u"ok"_s);
        ASSERT_TRUE(app.logic.config().SaveConfig());
        // The known keys at their defaults, saved once more.
        app.logic.changeSettings([&](TSettings& edited) { edited.VerifyArchives = false; }, false);
        ASSERT_TRUE(app.logic.config().SaveConfig());

        const QByteArray saved = readFile(file);
        EXPECT_TRUE(saved.contains("\r\nFutureKey=7\r\n")) << saved.constData();
        EXPECT_EQ(saved.contains("Another=x"), extras.contains("Another=x"));
        EXPECT_EQ(saved.count("[extras]"), 1);
    }
}

// The appearance is stored by name; the default is not written, and a name
// the program does not know reads as the default.
TEST(ExtraSettings, AppearanceIsStoredByItsName)
{
    AppHarness app(LocalDateTime::fromParts(2026, 3, 27, 14, 5));
    const struct
    {
        TAppearance appearance;
        const char* stored;
    } cases[] = {{TAppearance::Dark, "Appearance=Dark"}, {TAppearance::Light, "Appearance=Light"}};
    for (const auto& c : cases) {
        app.logic.changeSettings([&](TSettings& edited) { edited.Appearance = c.appearance; },
                                 false);
        ASSERT_TRUE(app.logic.config().SaveConfig());
        EXPECT_TRUE(readFile(app.logic.configFile().fileName())
                        .endsWith(QByteArray("[extras]\r\n") + c.stored + "\r\n\r\n"))
            << c.stored;
        app.logic.changeSettings([&](TSettings& edited) { edited = TSettings(); }, false);
        ASSERT_EQ(app.logic.config().LoadConfig(), u"ok"_s);
        EXPECT_EQ(app.logic.settings().settings().Appearance, c.appearance) << c.stored;
    }

    app.logic.changeSettings([&](TSettings& edited) { edited.Appearance = TAppearance::System; },
                             false);
    ASSERT_TRUE(app.logic.config().SaveConfig());
    EXPECT_FALSE(readFile(app.logic.configFile().fileName()).contains("[extras]"));

    QFile file(app.logic.configFile().fileName());
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("[extras]\r\nAppearance=Sepia\r\n");
    file.close();
    app.logic.changeSettings([&](TSettings& edited) { edited.Appearance = TAppearance::Dark; },
                             false);
    ASSERT_EQ(app.logic.config().LoadConfig(), u"ok"_s);
    EXPECT_EQ(app.logic.settings().settings().Appearance, TAppearance::System);
}

} // namespace
} // namespace tessaro
