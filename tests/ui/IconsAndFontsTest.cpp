#include "ui/Fonts.h"
#include "ui/Icons.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tessaro {
namespace {

// How many pixels of the picture are not fully transparent.
int paintedPixels(const QImage& image)
{
    int painted = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            painted += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    }
    return painted;
}

// The pictures are SVG, drawn by Qt's SVG plugin; without it they would be
// blank.
TEST(Icons, NavigationIconsDrawInColourAndGreyed)
{
    for (const QString& name : {u"settings"_s, u"run"_s, u"stop"_s, u"runonce"_s}) {
        SCOPED_TRACE(name.toStdString());
        const QIcon icon = navigationIcon(name);
        const QImage normal = icon.pixmap(QSize(32, 32), QIcon::Normal)
                                  .toImage()
                                  .convertToFormat(QImage::Format_ARGB32);
        const QImage greyed = icon.pixmap(QSize(32, 32), QIcon::Disabled)
                                  .toImage()
                                  .convertToFormat(QImage::Format_ARGB32);
        // A drawing, not a filled square: most but not all of the area.
        EXPECT_GT(paintedPixels(normal), 32 * 32 / 4);
        EXPECT_LT(paintedPixels(normal), 32 * 32);
        EXPECT_GT(paintedPixels(greyed), 32 * 32 / 4);
        EXPECT_NE(normal, greyed);

        bool colourful = false;
        for (int y = 0; y < 32 && !colourful; ++y) {
            for (int x = 0; x < 32; ++x) {
                const QColor c = greyed.pixelColor(x, y);
                EXPECT_LE(std::abs(c.red() - c.blue()), 12) << "greyed at " << x << ',' << y;
                colourful = colourful || normal.pixelColor(x, y).saturation() > 100;
            }
        }
        EXPECT_TRUE(colourful);
    }
}

TEST(Icons, ProgramAndLogIconsDraw)
{
    EXPECT_GT(paintedPixels(programIcon().pixmap(32, 32).toImage()), 32 * 32 / 2);
    EXPECT_GT(paintedPixels(logFileIcon().pixmap(21, 20).toImage()), 21 * 20 / 4);
}

TEST(Fonts, PixelSizes)
{
    EXPECT_EQ(windowFont().pixelSize(), 11);
    EXPECT_EQ(pageFont().pixelSize(), 12);
    EXPECT_EQ(logViewFont().pixelSize(), 12);
}

} // namespace
} // namespace tessaro
