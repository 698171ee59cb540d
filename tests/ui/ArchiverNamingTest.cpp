// The window names the archiver a user of the platform installs: WinRAR on
// Windows, RAR on Linux. Both are checked on every platform.

#include "MainWindowHarness.h"

#include <QCheckBox>
#include <QLabel>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;

struct NamingCase
{
    const char* name;
    PathStyle style;
    QString tab;
    QString locationLabel;
    QString errorLogCheck;
};

class ArchiverNamingTest : public ::testing::TestWithParam<NamingCase>
{};

TEST_P(ArchiverNamingTest, TabAndLabelsNameThePlatformsArchiver)
{
    test::MainWindowHarness window([] { return false; }, GetParam().style);
    auto* tabs = window.find<QTabWidget>("MainPageControl");
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->tabText(3), GetParam().tab);
    EXPECT_EQ(window.find<QLabel>("LabelWinRARLocation")->text(), GetParam().locationLabel);
    EXPECT_EQ(window.find<QCheckBox>("CheckWinRARLogfile")->text(), GetParam().errorLogCheck);
    // Only RAR for Linux needs a word on the formats before ZIP is picked.
    auto* note = window.form->findChild<QLabel*>(u"LabelArchiveFormatNote"_s);
    EXPECT_EQ(note != nullptr, GetParam().style == PathStyle::Posix);
    if (note) {
        EXPECT_TRUE(note->text().startsWith(u"RAR for Linux writes RAR archives only"_s));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Platforms, ArchiverNamingTest,
    ::testing::Values(NamingCase{"Windows", PathStyle::Windows, u"WinRAR\u00AE"_s,
                                 u"WinRAR location:"_s, u"Write WinRAR error logfile:"_s},
                      NamingCase{"Linux", PathStyle::Posix, u"RAR"_s, u"RAR location:"_s,
                                 u"Write RAR error logfile:"_s}),
    [](const ::testing::TestParamInfo<NamingCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace tessaro
