#include "Fonts.h"

#include <QFontDatabase>

namespace tessaro {

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
