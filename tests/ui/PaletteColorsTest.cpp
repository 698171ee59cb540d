#include "ui/ActivityLogView.h"
// The window's colours follow the palette: with a light, a dark or a
// high-contrast palette every text of the activity log and the page tabs
// stays readable on its background.

#include "MainWindowHarness.h"
#include "ui/AppearanceStyle.h"
#include "ui/ReadableColor.h"

#include <QApplication>
#include <QComboBox>
#include <QPalette>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace tessaro {
namespace {

using namespace Qt::StringLiterals;

// The palette of the whole application for one test, then the previous one.
class ApplicationPalette
{
public:
    explicit ApplicationPalette(const QPalette& palette) : m_previous(QApplication::palette())
    {
        QApplication::setPalette(palette);
    }
    ~ApplicationPalette() { QApplication::setPalette(m_previous); }
    Q_DISABLE_COPY_MOVE(ApplicationPalette)

private:
    QPalette m_previous;
};

struct PaletteCase
{
    const char* name;
    QRgb base;
    QRgb text;
    QRgb link;
    QRgb button;
    QRgb buttonText;
};

QPalette paletteOf(const PaletteCase& colors)
{
    QPalette palette(QColor::fromRgb(colors.button), QColor::fromRgb(colors.base));
    for (const auto role : {QPalette::Window, QPalette::Button})
        palette.setColor(role, QColor::fromRgb(colors.button));
    palette.setColor(QPalette::Base, QColor::fromRgb(colors.base));
    palette.setColor(QPalette::Text, QColor::fromRgb(colors.text));
    palette.setColor(QPalette::WindowText, QColor::fromRgb(colors.buttonText));
    palette.setColor(QPalette::ButtonText, QColor::fromRgb(colors.buttonText));
    palette.setColor(QPalette::Link, QColor::fromRgb(colors.link));
    return palette;
}

// Every non-empty run of the log view with its colour.
QList<std::pair<QString, QColor>> coloredRuns(const ActivityLogView& view)
{
    QList<std::pair<QString, QColor>> runs;
    for (const auto& run : view.shownRuns())
        if (!run.first.trimmed().isEmpty())
            runs.append(run);
    return runs;
}

class PaletteColorsTest : public ::testing::TestWithParam<PaletteCase>
{
protected:
    // One line of each colour the log uses, with a link in each.
    void logOneLineOfEachKind(test::MainWindowHarness& window)
    {
        const QString link = u" \""_s + window.data.path() + u"\""_s;
        window.form->logic().log().LogInfo(u"an info line"_s + link);
        window.form->logic().log().LogWarn(u"a warning line"_s + link);
        window.form->logic().log().LogError(u"an error line"_s + link);
    }

    void expectReadable(const ActivityLogView& view)
    {
        const QColor base = view.palette().color(QPalette::Base);
        const auto runs = coloredRuns(view);
        ASSERT_GE(runs.size(), 7);
        for (const auto& [text, color] : runs) {
            EXPECT_GE(contrastRatio(color, base), 3.0)
                << text.toStdString() << " in " << color.name().toStdString() << " on "
                << base.name().toStdString();
        }
        // The background drawn is the palette's, not a fixed white: the
        // corner below the last line shows nothing else.
        const QImage shown = view.viewport()->grab().toImage();
        EXPECT_EQ(shown.pixelColor(shown.width() - 2, shown.height() - 2), base);
    }
};

TEST_P(PaletteColorsTest, LogTextIsReadableOnTheLogBackground)
{
    const ApplicationPalette palette(paletteOf(GetParam()));
    test::MainWindowHarness window;
    window.showLoaded();
    logOneLineOfEachKind(window);

    auto* view = window.find<ActivityLogView>("LogView");
    ASSERT_NE(view, nullptr);
    expectReadable(*view);
    // Plain lines are in the palette's text colour itself.
    for (const auto& [text, color] : coloredRuns(*view))
        if (text.contains(u"[I] an info line"_s)) {
            EXPECT_EQ(color, QColor::fromRgb(GetParam().text));
        }
}

// A theme switched while the window is open recolours the lines shown.
TEST_P(PaletteColorsTest, LinesShownBeforeAPaletteChangeFollowIt)
{
    test::MainWindowHarness window;
    window.showLoaded();
    logOneLineOfEachKind(window);

    const ApplicationPalette palette(paletteOf(GetParam()));
    auto* view = window.find<ActivityLogView>("LogView");
    ASSERT_NE(view, nullptr);
    expectReadable(*view);
}

TEST_P(PaletteColorsTest, TabsAreDrawnInThePalettesButtonColours)
{
    const ApplicationPalette palette(paletteOf(GetParam()));
    test::MainWindowHarness window;
    window.showLoaded();
    QTabBar* tabs = window.find<QTabWidget>("MainPageControl")->tabBar();

    const QImage shown = tabs->grab().toImage();
    // A corner of a tab that is not the current one: no text there.
    const QRect other = tabs->tabRect(1);
    EXPECT_EQ(shown.pixelColor(other.left() + 3, other.top() + 3),
              QColor::fromRgb(GetParam().button));
    EXPECT_GE(
        contrastRatio(QColor::fromRgb(GetParam().buttonText), QColor::fromRgb(GetParam().button)),
        4.5);
}

INSTANTIATE_TEST_SUITE_P(
    Palettes, PaletteColorsTest,
    ::testing::Values(
        PaletteCase{"Light", 0xffffff, 0x000000, 0x0000ff, 0xefefef, 0x000000},
        PaletteCase{"Dark", 0x1e1e1e, 0xe8eaed, 0x2a5db0, 0x2d2f31, 0xe8eaed},
        PaletteCase{"HighContrastBlack", 0x000000, 0xffffff, 0xffff00, 0x000000, 0xffffff},
        // A dark palette whose link colour is as dark as its background.
        PaletteCase{"DarkWithDarkLinks", 0x101010, 0xd0d0d0, 0x000080, 0x202020, 0xd0d0d0}),
    [](const ::testing::TestParamInfo<PaletteCase>& info) { return std::string(info.param.name); });

TEST(ReadableColor, KeepsReadableColoursAndBringsOthersUpToNormalTextContrast)
{
    struct Case
    {
        QRgb wanted;
        QRgb background;
        bool kept;
    };
    for (const Case& c : {Case{0xff0000, 0xffffff, true}, Case{0xff00ff, 0xffffff, true},
                          Case{0x000000, 0xffffff, true}, Case{0xff0000, 0x1e1e1e, true},
                          Case{0x0000cc, 0x1e1e1e, false}, Case{0x000000, 0x000000, false},
                          Case{0xffff00, 0xffffff, false}}) {
        const QColor wanted = QColor::fromRgb(c.wanted);
        const QColor background = QColor::fromRgb(c.background);
        const QColor shown = readableOn(wanted, background);
        SCOPED_TRACE(wanted.name().toStdString() + " on " + background.name().toStdString());
        EXPECT_EQ(shown == wanted, c.kept) << shown.name().toStdString();
        if (!c.kept) {
            EXPECT_GE(contrastRatio(shown, background), 4.5);
        }
    }
    EXPECT_NEAR(contrastRatio(Qt::black, Qt::white), 21.0, 0.01);
}

// "Appearance:" sets the look of the whole program at once: Dark is Fusion
// with the dark palette, System the look it started with. The log keeps
// its monospaced font and its colours stay readable.
TEST(Appearance, DarkIsFusionWithADarkPaletteAndSystemComesBack)
{
    const QString startStyle = QApplication::style()->name();
    const QColor startWindow = QApplication::palette().color(QPalette::Window);
    test::MainWindowHarness window;
    window.showLoaded();
    auto* combo = window.find<QComboBox>("ComboAppearance");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentText(), u"System"_s);
    auto* log = window.find<ActivityLogView>("LogView");
    const QString logFamily = log->font().family();

    combo->setCurrentIndex(combo->findText(u"Dark"_s));
    EXPECT_EQ(window.logic().settings().settings().Appearance, TAppearance::Dark);
    EXPECT_EQ(QApplication::style()->name().toLower(), u"fusion"_s);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window),
              darkPalette().color(QPalette::Window));
    EXPECT_EQ(log->font().family(), logFamily);
    EXPECT_TRUE(QFontInfo(log->font()).fixedPitch() ||
                logFamily == QFontInfo(log->font()).family());
    for (const auto& [text, colour] : log->shownRuns())
        EXPECT_GE(contrastRatio(colour, log->palette().color(QPalette::Base)), 3.0)
            << text.toStdString();

    combo->setCurrentIndex(combo->findText(u"System"_s));
    EXPECT_EQ(QApplication::style()->name(), startStyle);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), startWindow);
}

} // namespace
} // namespace tessaro
