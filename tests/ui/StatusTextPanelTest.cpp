#include "ui/StatusTextPanel.h"

#include "EventCounter.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QTest>
#include <QTextLayout>
#include <QToolTip>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;

class StatusTextPanelTest : public ::testing::Test
{
protected:
    StatusTextPanelTest()
    {
        auto* layout = new QHBoxLayout(&bar);
        layout->addWidget(panel);
        bar.resize(300, 30);
        bar.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&bar));
        QCoreApplication::processEvents();
    }

    // The tooltip the panel shows where the mouse rests on it.
    QString toolTip()
    {
        QToolTip::hideText();
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), panel->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(panel, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }

    QWidget bar;
    StatusTextPanel* panel = new StatusTextPanel(&bar);
};

// The progress of a pass changes many times a second, in any script: the
// bar neither lays itself out again nor moves.
TEST_F(StatusTextPanelTest, ItsSizeNeverFollowsItsText)
{
    test::EventCounter requests(QEvent::LayoutRequest);
    bar.installEventFilter(&requests);
    const QSize hint = panel->sizeHint();
    const QRect place = panel->geometry();
    for (const QString& text : {u"Backup 1 of 200: /home/ana/src (0 min)"_s,
                                u"Backup 2 of 200: /home/ana/日本語_フォルダ (0 min)"_s,
                                u"backing up /srv/한국어_자료"_s, QString(), u"x"_s}) {
        panel->setText(text);
        QCoreApplication::processEvents();
        EXPECT_EQ(panel->text(), text);
        EXPECT_EQ(panel->sizeHint(), hint) << text.toStdString();
        EXPECT_EQ(panel->geometry(), place) << text.toStdString();
    }
    EXPECT_EQ(requests.count, 0);
}

TEST_F(StatusTextPanelTest, IsTallEnoughForALineInFallbackFonts)
{
    QTextLayout layout(u"フォルダ_日本語_한국어_g"_s, panel->font());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    EXPECT_GE(panel->height(), int(std::ceil(line.height())));
    EXPECT_GE(panel->height(), panel->fontMetrics().height());
}

TEST_F(StatusTextPanelTest, ALongTextIsElidedInTheMiddleWithItsWholeTextAsTooltip)
{
    const QString path = u"backing up /home/ana/Documents/"_s + QString(60, u'a') + u"/thesis"_s;
    panel->setText(path);
    const QString shown = panel->shownText();
    EXPECT_TRUE(shown.startsWith(u"backing up /home"_s)) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(u"/thesis"_s)) << shown.toStdString();
    EXPECT_TRUE(shown.contains(u'…')) << shown.toStdString();
    EXPECT_LE(panel->fontMetrics().horizontalAdvance(shown), panel->width());
    EXPECT_EQ(toolTip(), path);

    panel->setText(u"cleaning up"_s);
    EXPECT_EQ(panel->shownText(), u"cleaning up"_s);
    EXPECT_EQ(panel->toolTipText(), QString()) << "a text shown whole needs no tooltip";
}

// Texts with and without leading blanks start at the same margin.
TEST_F(StatusTextPanelTest, LeadingBlanksAreNotDrawn)
{
    panel->setText(u"   Periodic run. Next run: 27.03.2026 10:00"_s);
    EXPECT_EQ(panel->text(), u"   Periodic run. Next run: 27.03.2026 10:00"_s);
    EXPECT_EQ(panel->shownText(), u"Periodic run. Next run: 27.03.2026 10:00"_s);
}

} // namespace
} // namespace tessaro
