#include "ui/ReadableColor.h"

#include <QtMath>

namespace tessaro {

namespace {

// A colour the log has always shown on white (red: 4.0, magenta: 3.1) is
// kept; one that falls below is brought up to the ratio for normal text.
constexpr double AcceptedRatio = 3.0;
constexpr double ReadableRatio = 4.5;

double channelLuminance(float channel)
{
    return channel <= 0.04045f ? channel / 12.92 : qPow((channel + 0.055) / 1.055, 2.4);
}

double relativeLuminance(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return 0.2126 * channelLuminance(rgb.redF()) + 0.7152 * channelLuminance(rgb.greenF()) +
           0.0722 * channelLuminance(rgb.blueF());
}

} // namespace

double contrastRatio(const QColor& first, const QColor& second)
{
    const double a = relativeLuminance(first);
    const double b = relativeLuminance(second);
    return (qMax(a, b) + 0.05) / (qMin(a, b) + 0.05);
}

QColor readableOn(const QColor& wanted, const QColor& background)
{
    if (contrastRatio(wanted, background) >= AcceptedRatio)
        return wanted;
    // Lightness in steps towards white or black keeps the hue, so red stays
    // an error's colour; the end of the way, white or black, always reads.
    const bool darkBackground = relativeLuminance(background) < 0.18;
    const QColor hsl = wanted.toHsl();
    const int step = darkBackground ? 8 : -8;
    for (int lightness = hsl.lightness() + step; lightness > 0 && lightness < 255;
         lightness += step) {
        const QColor candidate =
            QColor::fromHsl(hsl.hslHue(), hsl.hslSaturation(), lightness).toRgb();
        if (contrastRatio(candidate, background) >= ReadableRatio)
            return candidate;
    }
    return darkBackground ? QColor(Qt::white) : QColor(Qt::black);
}

} // namespace tessaro
