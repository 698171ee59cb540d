#include "app/TrayToolTip.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;

struct ToolTipCase
{
    const char* name;
    bool running;
    bool periodic;
    LocalDateTime next;
    QString expected;
};

class TrayToolTipTest : public ::testing::TestWithParam<ToolTipCase>
{};

TEST_P(TrayToolTipTest, ShowsTheProgramsState)
{
    const ToolTipCase& c = GetParam();
    EXPECT_EQ(TrayToolTipText(c.running, c.periodic, c.next), c.expected);
}

const LocalDateTime Evening = LocalDateTime::fromParts(2026, 3, 27, 20, 30);

INSTANTIATE_TEST_SUITE_P(
    Tray, TrayToolTipTest,
    ::testing::Values(
        ToolTipCase{"Idle", false, false, LocalDateTime(), u"Tessaro: idle"_s},
        ToolTipCase{"Planned", false, true, Evening,
                    u"Tessaro: next backup pass at 27.03.2026 20:30"_s},
        // A pass under way says so, whether it was planned or not.
        ToolTipCase{"RunningPlanned", true, true, Evening, u"Tessaro: backup pass running"_s},
        ToolTipCase{"RunningOnRequest", true, false, LocalDateTime(),
                    u"Tessaro: backup pass running"_s},
        // A time left over from earlier periodic runs is no plan.
        ToolTipCase{"InactiveWithOldTime", false, false, Evening, u"Tessaro: idle"_s}),
    [](const ::testing::TestParamInfo<ToolTipCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace tessaro
