#include "ui/ActivityLogView.h"

#include "QtPrinters.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
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

// A mouse move with the left button held, as a drag sends it.
void dragTo(ActivityLogView& view, const QPoint& to)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(to), view.viewport()->mapToGlobal(QPointF(to)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view.viewport(), &move);
}

QString clipboardText()
{
    return QGuiApplication::clipboard()->text();
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

// What the user selects with the mouse is what lands on the clipboard:
// dragging across lines, a click and a shift-click, a double click on a
// word or on a link. A drag that starts on a link opens nothing.
TEST_F(ActivityLogViewTest, MouseSelectionIsCopiedWithCtrlC)
{
    addLine(1, u"/srv/a.rar"_s); // line 1 see /srv/a.rar.
    addLine(2, u"/srv/b.rar"_s);
    QSignalSpy clicked(&view, &ActivityLogView::linkClicked);
    const auto copied = [this] {
        QGuiApplication::clipboard()->setText(u"before"_s);
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        return clipboardText();
    };

    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, view.characterPosition(0, 5));
    dragTo(view, view.characterPosition(1, 6));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, view.characterPosition(1, 6));
    EXPECT_EQ(view.selectedText(), u"1 see /srv/a.rar.\nline 2"_s);
    EXPECT_EQ(copied(), u"1 see /srv/a.rar.\nline 2"_s);

    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.characterPosition(1, 22));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      view.characterPosition(1, 11));
    EXPECT_EQ(copied(), u"/srv/b.rar."_s) << "shift-click extends from the click before";

    // Backwards, from the middle of a link into the line above.
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, view.characterPosition(1, 16));
    dragTo(view, view.characterPosition(0, 18));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, view.characterPosition(0, 18));
    EXPECT_EQ(copied(), u"rar.\nline 2 see /srv/"_s);
    EXPECT_EQ(clicked.size(), 0) << "a drag from a link does not open it";

    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, view.characterPosition(0, 2));
    EXPECT_EQ(copied(), u"line"_s);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, view.characterPosition(1, 14));
    EXPECT_EQ(copied(), u"/srv/b.rar"_s) << "the link without the text around it";
}

// Ctrl+A and the context menu: Copy is offered once something is selected,
// Select all takes every line held, Open log file asks for the file.
TEST_F(ActivityLogViewTest, ContextMenuCopiesSelectsAllAndOpensTheLogFile)
{
    addLine(1, u"/srv/a.rar"_s);
    view.appendText(u"27.03.2026 14:05:09 [I] Grüße, 東京"_s, 0);
    view.endLine();
    QGuiApplication::clipboard()->setText(u"before"_s);

    std::unique_ptr<QMenu> menu(view.createContextMenu(nullptr));
    QStringList captions;
    for (const QAction* action : menu->actions())
        captions.append(action->text());
    EXPECT_EQ(captions,
              (QStringList{u"&Copy"_s, u"Select &all"_s, QString(), u"&Open log file"_s}));
    QAction* copy = menu->actions().at(0);
    EXPECT_FALSE(copy->isEnabled()) << "nothing selected yet";

    menu->actions().at(1)->trigger();
    menu.reset(view.createContextMenu(nullptr));
    copy = menu->actions().at(0);
    ASSERT_TRUE(copy->isEnabled());
    copy->trigger();
    EXPECT_EQ(clipboardText(), u"line 1 see /srv/a.rar.\n27.03.2026 14:05:09 [I] Grüße, 東京"_s);

    view.selectAll();
    QGuiApplication::clipboard()->setText(u"before"_s);
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboardText(), view.toPlainText().chopped(1));

    QSignalSpy open(&view, &ActivityLogView::openLogFileRequested);
    menu->actions().at(3)->trigger();
    EXPECT_EQ(open.size(), 1);
}

// A selection stays on its text while new lines come and the oldest go.
TEST_F(ActivityLogViewTest, SelectionStaysOnItsTextWhileLinesGo)
{
    for (int n = 0; n < 20; ++n)
        addLine(n, u"/srv/a.rar"_s);
    view.verticalScrollBar()->setValue(10);
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, view.characterPosition(12, 0));
    dragTo(view, view.characterPosition(12, 7));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, view.characterPosition(12, 7));
    ASSERT_EQ(view.selectedText(), u"line 12"_s);

    for (int n = 20; n < int(ActivityLogView::MaxLines) + 5; ++n)
        addLine(n, u"/srv/a.rar"_s);
    EXPECT_EQ(view.selectedText(), u"line 12"_s);
    // Eight more lines: the oldest thirteen have gone, line 12 with them.
    for (int n = 0; n < 8; ++n)
        addLine(n, u"/srv/a.rar"_s);
    EXPECT_EQ(view.selectedText(), QString()) << "its line has gone";
}

// As in a terminal: at the bottom the view follows new lines; scrolled up,
// it keeps the lines the user reads, even while the oldest lines go.
TEST_F(ActivityLogViewTest, FollowsNewLinesOnlyWhileShowingTheNewest)
{
    const auto firstShown = [this] {
        return view.toPlainText().split(u'\n').at(view.verticalScrollBar()->value());
    };
    const auto newestShown = [this] {
        return view.viewport()->rect().contains(view.lineRect(view.lineCount() - 1).center());
    };
    for (int n = 0; n < 50; ++n)
        addLine(n, u"/srv/a.rar"_s);
    EXPECT_TRUE(newestShown());

    QScrollBar* rows = view.verticalScrollBar();
    rows->setValue(10);
    addLine(50, u"/srv/a.rar"_s);
    EXPECT_EQ(rows->value(), 10);
    EXPECT_EQ(firstShown(), u"line 10 see /srv/a.rar."_s);
    EXPECT_FALSE(newestShown());

    for (int n = 51; n < int(ActivityLogView::MaxLines) + 3; ++n)
        addLine(n, u"/srv/a.rar"_s);
    EXPECT_EQ(firstShown(), u"line 10 see /srv/a.rar."_s) << "the oldest lines went around it";

    rows->setValue(rows->maximum());
    addLine(0, u"/srv/last.rar"_s);
    EXPECT_TRUE(newestShown()) << "back at the bottom, the view follows again";
    EXPECT_EQ(rows->value(), rows->maximum());
}

// The focused view shows a mark in the palette's highlight colour; the
// view without the focus shows none.
TEST_F(ActivityLogViewTest, ShowsAFocusMarkWhileFocused)
{
    addLine(1, u"/srv/a.rar"_s);
    QApplication::setActiveWindow(&view);
    const auto corner = [this] {
        return view.viewport()->grab().toImage().pixelColor(0, view.viewport()->height() / 2);
    };
    view.setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(view.hasFocus());
    EXPECT_EQ(corner(), view.palette().color(QPalette::Highlight));
    view.clearFocus();
    EXPECT_EQ(corner(), view.palette().color(QPalette::Base));
}

} // namespace
} // namespace tessaro
