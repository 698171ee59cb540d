#include "app/WindowPlacement.h"

#include <gtest/gtest.h>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QRect& r, std::ostream* os)
{
    *os << '(' << r.x() << ", " << r.y() << ", " << r.width() << 'x' << r.height() << ')';
}
inline void PrintTo(const QPoint& p, std::ostream* os)
{
    *os << '(' << p.x() << ", " << p.y() << ')';
}
QT_END_NAMESPACE

namespace tessaro {
namespace {

// One 1920x1080 display with a 40 pixel task bar at the bottom.
ScreenGeometry singleScreen()
{
    ScreenGeometry g;
    g.primary = QRect(0, 0, 1920, 1080);
    g.primaryWorkArea = QRect(0, 0, 1920, 1040);
    g.screens = {g.primary};
    return g;
}

ScreenGeometry withSecondScreen(const QRect& second)
{
    ScreenGeometry g = singleScreen();
    g.screens.append(second);
    return g;
}

TEST(DefaultWindowPosition, CentresTheMinimumSizeTruncatingTowardZero)
{
    struct Case
    {
        QSize primary;
        QPoint expected;
    };
    const Case cases[] = {
        {{1920, 1080}, {650, 211}},
        {{1366, 768}, {373, 55}},
        {{1365, 767}, {372, 54}},
        // Displays smaller than the window: the halves of negative odd
        // numbers round toward zero, not down.
        {{600, 651}, {-10, -3}},
        {{619, 657}, {0, 0}},
    };
    for (const Case& c : cases) {
        ScreenGeometry g;
        g.primary = QRect(QPoint(0, 0), c.primary);
        g.primaryWorkArea = g.primary;
        g.screens = {g.primary};
        EXPECT_EQ(WindowPlacement::DefaultWindowPosition(g), c.expected)
            << c.primary.width() << 'x' << c.primary.height();
    }
}

TEST(PlaceWindow, PullsTheWindowOntoTheNearestDisplay)
{
    const ScreenGeometry one = singleScreen();
    const ScreenGeometry rightOfPrimary = withSecondScreen(QRect(1920, 0, 2560, 1440));
    const ScreenGeometry leftOfPrimary = withSecondScreen(QRect(-1920, 0, 1920, 1080));
    struct Case
    {
        const char* name;
        ScreenGeometry screens;
        QRect lastPos;
        QRect expected;
    };
    const Case cases[] = {
        {"centred stays", one, {650, 211, 620, 658}, {650, 211, 620, 658}},
        {"far left is cut at the display's left edge and regains its minimum width",
         one,
         {-5000, 211, 620, 658},
         {0, 211, 620, 658}},
        {"above the top", one, {100, -300, 620, 658}, {100, 0, 620, 658}},
        {"wider window cut on the left keeps its right edge",
         one,
         {-100, 100, 1000, 700},
         {0, 100, 900, 700}},
        {"past the right edge is moved back", one, {1500, 100, 620, 658}, {1300, 100, 620, 658}},
        {"touching the right edge stays", one, {1300, 100, 620, 658}, {1300, 100, 620, 658}},
        {"past the bottom stops at the task bar", one, {100, 500, 620, 658}, {100, 382, 620, 658}},
        {"far right and below", one, {9000, 9000, 620, 658}, {1300, 382, 620, 658}},
        {"larger than the work area fills it", one, {0, 0, 2500, 1200}, {0, 0, 1920, 1040}},
        {"on the second display stays",
         rightOfPrimary,
         {3000, 200, 620, 658},
         {3000, 200, 620, 658}},
        {"past the second display's corner; the primary task bar bounds it too",
         rightOfPrimary,
         {4200, 900, 620, 658},
         {3860, 382, 620, 658}},
        {"beyond every display goes to the one with the nearest centre",
         rightOfPrimary,
         {6000, 100, 620, 658},
         {3860, 100, 620, 658}},
        {"straddling two displays goes to the one it covers most",
         rightOfPrimary,
         {1700, 100, 620, 658},
         {1920, 100, 620, 658}},
        {"a display left of the primary keeps negative positions",
         leftOfPrimary,
         {-1000, 100, 620, 658},
         {-1000, 100, 620, 658}},
        {"left of the left display", leftOfPrimary, {-2500, 100, 620, 658}, {-1920, 100, 620, 658}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WindowPlacement::PlaceWindow(c.lastPos, c.screens), c.expected) << c.name;
}

TEST(PlaceWindow, UsesThePrimaryDisplayWhenNoScreenIsListed)
{
    ScreenGeometry g = singleScreen();
    g.screens.clear();
    EXPECT_EQ(WindowPlacement::PlaceWindow(QRect(1500, 100, 620, 658), g),
              QRect(1300, 100, 620, 658));
}

// On a screen smaller than the window the whole window stays on it: the
// minimum size gives way to the work area, title bar and status bar in sight.
TEST(PlaceWindow, AScreenSmallerThanTheWindowHoldsItWhole)
{
    ScreenGeometry small;
    small.primary = QRect(0, 0, 1024, 600);
    small.primaryWorkArea = QRect(0, 0, 1024, 570);
    small.screens = {small.primary};
    const struct
    {
        const char* name;
        QRect lastPos;
        QRect expected;
    } cases[] = {
        {"centred, too tall", {202, -29, 620, 658}, {202, 0, 620, 570}},
        {"low on the screen", {100, 300, 620, 658}, {100, 0, 620, 570}},
        {"wider than the screen, lower than the minimum", {-50, 0, 1400, 500}, {0, 0, 1024, 570}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WindowPlacement::PlaceWindow(c.lastPos, small), c.expected) << c.name;
}

TEST(FittedSize, KeepsTheDescribedSizeWhereItFitsAndShrinksWhereNot)
{
    const QSize described(614, 630);
    const QSize frame(8, 30);
    EXPECT_EQ(WindowPlacement::FittedSize(described, frame, QRect(0, 0, 1920, 1040)), described);
    EXPECT_EQ(WindowPlacement::FittedSize(described, frame, QRect(0, 0, 622, 660)), described)
        << "just fits, frame included";
    EXPECT_EQ(WindowPlacement::FittedSize(described, frame, QRect(0, 24, 1024, 576)),
              QSize(614, 546));
    EXPECT_EQ(WindowPlacement::FittedSize(described, frame, QRect(0, 0, 512, 300)),
              QSize(504, 270));
}

} // namespace
} // namespace tessaro
