#include "ui/PaintThrottle.h"

#include "EventCounter.h"

#include <QEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

class PaintThrottleTest : public ::testing::Test
{
protected:
    PaintThrottleTest() : throttle(&widget, [this] { return now; })
    {
        widget.resize(200, 100);
        widget.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&widget));
        QCoreApplication::processEvents();
        widget.installEventFilter(&paints);
        now = 1000;
    }

    // One change of the content, then the event loop's turn, as a pass
    // gives it between two log lines.
    void change()
    {
        throttle.changed();
        widget.update();
        QCoreApplication::processEvents();
    }

    qint64 now = 0;
    QWidget widget;
    test::EventCounter paints{QEvent::Paint};
    PaintThrottle throttle;
};

TEST_F(PaintThrottleTest, ChangesWithinAnIntervalArePaintedTogetherWhenItEnds)
{
    change();
    EXPECT_EQ(paints.count, 1) << "the first change is painted at once";
    for (int n = 0; n < 50; ++n)
        change();
    EXPECT_EQ(paints.count, 1);
    EXPECT_TRUE(throttle.holding());

    ASSERT_TRUE(QTest::qWaitFor([this] { return !throttle.holding(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(paints.count, 2) << "the held changes, painted once";
    EXPECT_TRUE(widget.updatesEnabled());
}

TEST_F(PaintThrottleTest, ChangesFurtherApartThanTheIntervalArePaintedEachAtOnce)
{
    for (int n = 0; n < 5; ++n) {
        change();
        now += PaintThrottle::Interval.count();
    }
    EXPECT_EQ(paints.count, 5);
    EXPECT_FALSE(throttle.holding());
}

// A widget drawn anew (resized, moved, shown) must not stay blank until the
// interval ends.
TEST_F(PaintThrottleTest, AResizeLetsHeldPaintingGoAtOnce)
{
    change();
    change();
    ASSERT_TRUE(throttle.holding());
    widget.resize(220, 100);
    EXPECT_FALSE(throttle.holding());
    EXPECT_TRUE(widget.updatesEnabled());
    QCoreApplication::processEvents();
    EXPECT_GE(paints.count, 2);
}

} // namespace
} // namespace tessaro
