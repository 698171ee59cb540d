#include "ui/Fonts.h"

#include <QFontDatabase>

namespace tessaro {

namespace {

// Where Tahoma is missing (most Linux desktops) the desktop's own
// proportional font takes its place at the same pixel size, so the layout
// keeps its proportions.
QFont proportionalFont(int pixelSize)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);
    if (!QFontDatabase::hasFamily(font.family()))
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace

QFont windowFont()
{
    return proportionalFont(11);
}

QFont pageFont()
{
    return proportionalFont(12);
}

QFont logViewFont()
{
    QFont font(QStringLiteral("Consolas"));
    font.setStyleHint(QFont::Monospace);
    if (!QFontDatabase::hasFamily(font.family()))
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(12);
    return font;
}

} // namespace tessaro
