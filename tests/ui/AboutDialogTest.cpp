#include "FixedClock.h"
#include "QtPrinters.h"
#include "app/ProgramInfo.h"
#include "ui/AboutForm.h"
#include "ui/MainForm.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;

// Stands in for the desktop's mail program and browser while it lives, so
// no test starts a real one.
class DesktopRecorder final : public QObject
{
    Q_OBJECT

public:
    DesktopRecorder()
    {
        for (const QString& scheme : Schemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~DesktopRecorder() override
    {
        for (const QString& scheme : Schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }

    QStringList opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened.append(url.toString()); }

private:
    inline static const QStringList Schemes{u"mailto"_s, u"https"_s, u"http"_s};
};

// The links of a rich text, as (target, shown text) pairs in order.
QList<std::pair<QString, QString>> linksOf(const QString& html)
{
    QTextDocument doc;
    doc.setHtml(html);
    QList<std::pair<QString, QString>> links;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isAnchor())
                links.append({fragment.charFormat().anchorHref(), fragment.text()});
        }
    }
    return links;
}

// The About dialog over a plain window whose caption the test sets.
class AboutDialogTest : public ::testing::Test
{
protected:
    static QMainWindow* titled(QMainWindow* window)
    {
        window->setWindowTitle(u"Tessaro v1.60327"_s);
        return window;
    }

    template <typename T>
    T* child(const QString& name) const
    {
        return dialog.findChild<T*>(name);
    }

    // Where a piece of the notice text is drawn, in the label's coordinates:
    // the text is laid out again as the label lays it out (same font, width
    // and top-left alignment), so a click there lands on that piece.
    QPoint pointOf(const QString& piece) const
    {
        auto* label = child<QLabel>(u"lblCompany"_s);
        QTextDocument doc;
        doc.setDefaultFont(label->font());
        doc.setDocumentMargin(0);
        doc.setHtml(label->text());
        doc.setTextWidth(label->contentsRect().width());
        doc.documentLayout()->documentSize(); // lays the text out
        const QTextCursor found = doc.find(piece);
        EXPECT_FALSE(found.isNull()) << piece.toStdString();
        const QTextBlock block = found.block();
        const int start = found.selectionStart() - block.position();
        const QTextLine line = block.layout()->lineForTextPosition(start);
        if (!line.isValid()) {
            ADD_FAILURE() << "not laid out: " << piece.toStdString();
            return {};
        }
        const QPointF origin = block.layout()->position();
        const qreal x = line.cursorToX(start + 1);
        return label->contentsRect().topLeft() +
               QPointF(origin.x() + x, origin.y() + line.y() + line.height() / 2).toPoint();
    }

    QMainWindow owner;
    TAboutForm dialog{titled(&owner)};
    DesktopRecorder desktop;
};

TEST_F(AboutDialogTest, HasItsFixedLayout)
{
    EXPECT_EQ(dialog.windowTitle(), u"About"_s);
    EXPECT_EQ(dialog.size(), QSize(587, 355));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(dialog.font().pixelSize(), 12);
    EXPECT_EQ(dialog.palette().color(QPalette::Window), QColor(0xf0, 0xf0, 0xf0));

    auto* picture = child<QLabel>(u"Picture"_s);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->geometry(), QRect(0, 0, 163, 315));
    EXPECT_EQ(picture->pixmap().size(), QSize(163, 315));

    auto* panel = child<QWidget>(u"Panel"_s);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->geometry(), QRect(163, 0, 424, 314));
    EXPECT_EQ(panel->palette().color(QPalette::Window), QColor(Qt::white));

    auto* button = child<QPushButton>(u"Button1"_s);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), u"Close"_s);
    EXPECT_EQ(button->size(), QSize(89, 25));
    // Bottom right, below the panel.
    EXPECT_GT(button->y(), panel->geometry().bottom());
    EXPECT_LE(button->geometry().right(), 586);
    EXPECT_GT(button->x(), 587 / 2);
}

TEST_F(AboutDialogTest, TitleIsTheOwnersCaption)
{
    auto* title = child<QLabel>(u"lblTitle"_s);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), u"Tessaro v1.60327"_s);
    EXPECT_EQ(title->size(), QSize(334, 25));
    EXPECT_EQ(title->font().pixelSize(), 19);
    EXPECT_TRUE(title->font().bold());
    EXPECT_EQ(title->parentWidget(), child<QWidget>(u"Panel"_s));
}

TEST_F(AboutDialogTest, NoticeNamesTheContactAddressAndTheHomepage)
{
    auto* notice = child<QLabel>(u"lblCompany"_s);
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->size(), QSize(391, 261));

    const QString mail = ProgramContactMail();
    const QString homepage = ProgramHomepage();
    const QList<std::pair<QString, QString>> expected{{u"mailto:"_s + mail, mail},
                                                      {homepage, homepage}};
    EXPECT_EQ(linksOf(notice->text()), expected);

    QTextDocument shown;
    shown.setHtml(notice->text());
    const QString text = shown.toPlainText();
    EXPECT_TRUE(
        text.contains(u"Contact & bug report:\n"_s + mail + u"\n\n\n\nVisit: "_s + homepage))
        << text.toStdString();
    EXPECT_FALSE(text.contains(u"&&"_s));
}

// A click on a link opens it and leaves the dialog open; a click on the text
// beside it does nothing.
TEST_F(AboutDialogTest, OnlyTheLinksReactToClicks)
{
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* notice = child<QLabel>(u"lblCompany"_s);

    QTest::mouseClick(notice, Qt::LeftButton, {}, pointOf(u"Visit: "_s));
    QTest::mouseClick(notice, Qt::LeftButton, {}, pointOf(u"Contact"_s));
    EXPECT_TRUE(desktop.opened.isEmpty());

    QTest::mouseClick(notice, Qt::LeftButton, {}, pointOf(ProgramHomepage()));
    QTest::mouseClick(notice, Qt::LeftButton, {}, pointOf(ProgramContactMail()));

    EXPECT_EQ(desktop.opened,
              (QStringList{ProgramHomepage(), u"mailto:"_s + ProgramContactMail()}));
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(AboutDialogTest, CloseEndsTheDialogAsAccepted)
{
    dialog.show();
    QTest::mouseClick(child<QPushButton>(u"Button1"_s), Qt::LeftButton);

    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

// What the main window's Help menu does: a fresh modal dialog each time,
// centred on the window, showing the caption it has then, gone once closed.
TEST(AboutDialogExecute, ShowsTheMainWindowsCurrentCaptionEachTime)
{
    QTemporaryDir data;
    test::FixedClock clock(LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9));
    MainWindowSeams seams;
    seams.clock = &clock;
    seams.findArchiver = [] {
        return QString();
    };
    TMainForm form(seams, {data.path(), QString()});
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    QStringList titles;
    QList<QPoint> centres;
    auto closeWhenShown = [&] {
        QTimer::singleShot(0, &form, [&] {
            auto* shown = qobject_cast<TAboutForm*>(QApplication::activeModalWidget());
            ASSERT_NE(shown, nullptr);
            titles.append(shown->findChild<QLabel*>(u"lblTitle"_s)->text());
            centres.append(shown->geometry().center());
            QTest::mouseClick(shown->findChild<QPushButton*>(u"Button1"_s), Qt::LeftButton);
        });
    };

    closeWhenShown();
    EXPECT_EQ(TAboutForm::Execute(&form), QDialog::Accepted);
    form.setWindowTitle(u"Tessaro v2"_s);
    closeWhenShown();
    EXPECT_EQ(TAboutForm::Execute(&form), QDialog::Accepted);

    EXPECT_EQ(titles, (QStringList{u"Tessaro v1.60327"_s, u"Tessaro v2"_s}));
    ASSERT_EQ(centres.size(), 2);
    EXPECT_LE((centres.at(0) - form.geometry().center()).manhattanLength(), 2);
    EXPECT_TRUE(form.findChildren<TAboutForm*>().isEmpty());
}

} // namespace
} // namespace tessaro

#include "AboutDialogTest.moc"
