#include "ui/ActivityLogView.h"

#include "QtPrinters.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;

// A point on the first link of the line, or a null point when the line
// shows no link where the view can be clicked.
QPoint pointOnLink(const ActivityLogView& view, qsizetype line)
{
    const QRect area = view.lineRect(line);
    for (int x = area.left(); x < view.viewport()->width(); ++x) {
        const QPoint at(x, area.center().y());
        if (!view.anchorAt(at).isEmpty())
            return at;
    }
    return {};
}

class ActivityLogViewTest : public ::testing::Test
{
protected:
    ActivityLogViewTest()
    {
        view.resize(600, ActivityLogView::Height);
        view.show();
    }

    void addLine(int n, const QString& link)
    {
        view.appendText(u"line %1 see "_s.arg(n), 0xFF0000);
        view.appendLink(link);
        view.appendText(u"."_s, 0xFF0000);
        view.endLine();
    }

    ActivityLogView view;
};

TEST_F(ActivityLogViewTest, ShowsEachLineAsItsRunsInOrder)
{
    addLine(1, u"/srv/a.rar"_s);
    view.appendText(u"plain"_s, 0);
    view.endLine();

    EXPECT_EQ(view.lineCount(), 2);
    EXPECT_EQ(view.toPlainText(), u"line 1 see /srv/a.rar.\nplain\n"_s);
}

// The view keeps the newest lines only; the oldest go first, and links of
// the lines kept still answer a click with their path.
TEST_F(ActivityLogViewTest, KeepsTheNewestLinesUpToTheLimit)
{
    const int total = int(ActivityLogView::MaxLines) + 5;
    for (int n = 0; n < total; ++n)
        addLine(n, u"/srv/archive_%1.rar"_s.arg(n));

    EXPECT_EQ(view.lineCount(), ActivityLogView::MaxLines);
    const QString text = view.toPlainText();
    EXPECT_TRUE(text.startsWith(u"line 5 see /srv/archive_5.rar.\n"_s))
        << text.left(80).toStdString();
    EXPECT_TRUE(text.endsWith(u"line %1 see /srv/archive_%1.rar.\n"_s.arg(total - 1)));

    const qsizetype last = view.lineCount() - 1;
    ASSERT_TRUE(view.viewport()->rect().contains(view.lineRect(last).center()))
        << "the view follows the newest line";
    const QPoint onLink = pointOnLink(view, last);
    ASSERT_FALSE(onLink.isNull());
    QSignalSpy clicked(&view, &ActivityLogView::linkClicked);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, onLink);
    ASSERT_EQ(clicked.size(), 1);
    EXPECT_EQ(clicked.first().first().toString(), u"/srv/archive_%1.rar"_s.arg(total - 1));
}

TEST_F(ActivityLogViewTest, ClickBesideALinkReportsNothing)
{
    addLine(1, u"/srv/a.rar"_s);

    QSignalSpy clicked(&view, &ActivityLogView::linkClicked);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                      view.lineRect(0).topLeft() + QPoint(1, 1));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                      view.lineRect(0).topRight() + QPoint(5, 1));

    EXPECT_EQ(clicked.size(), 0);
}

} // namespace
} // namespace tessaro
