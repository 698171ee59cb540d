#include "ui/ProductArtwork.h"

#include <QLinearGradient>
#include <QPainter>

#include <iterator>

namespace tessaro {

void paintProductArtwork(QPainter& painter, const QRectF& area, const QString& name)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(area.topLeft());
    // Drawn on a grid of 163 units, the About dialog's picture width, and
    // scaled to the area.
    const qreal scale = area.width() / 163.0;
    painter.scale(scale, scale);
    const qreal height = area.height() / scale;

    QLinearGradient ground(0, 0, 0, height);
    ground.setColorAt(0.0, QColor(0x0b, 0x3d, 0x5c));
    ground.setColorAt(1.0, QColor(0x16, 0x6d, 0x7a));
    painter.fillRect(QRectF(0, 0, 163, height), ground);

    // A mosaic of small tiles, after which the program is named, thinning
    // out towards the foot as if it were still being laid.
    static constexpr QRgb Tiles[] = {0x2bb3c0, 0x7fd3dc, 0xf2c14e, 0xf7f4ea, 0x3c8dbc, 0xe07a5f};
    constexpr int TileCount = int(std::size(Tiles));
    constexpr qreal Step = 16;
    constexpr qreal Tile = 13;
    constexpr int Columns = 10;
    // The mosaic keeps the same margin on both sides of the picture.
    constexpr qreal Left = (163 - (Columns - 1) * Step - Tile) / 2;
    const int rows = int(height * 2 / 3 / Step);
    painter.setPen(Qt::NoPen);
    for (int row = 0; row < rows; ++row) {
        const qreal fade = 1.0 - qreal(row) / rows;
        for (int column = 0; column < Columns; ++column) {
            const int pick = (row * 7 + column * 13 + row * column) % 11;
            if (pick >= TileCount + int(fade * 5))
                continue;
            QColor color(Tiles[pick % TileCount]);
            color.setAlphaF(float(0.35 + 0.65 * fade));
            painter.setBrush(color);
            painter.drawRoundedRect(QRectF(Left + column * Step, 8 + row * Step, Tile, Tile), 2, 2);
        }
    }

    QFont font(QStringLiteral("Calibri"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(26);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0xf7, 0xf4, 0xea));
    painter.drawText(QRectF(0, height - 70, 163, 40), Qt::AlignCenter, name);
    painter.restore();
}

QPixmap productArtwork(QSize size, const QString& name)
{
    QPixmap pixmap(size);
    QPainter painter(&pixmap);
    paintProductArtwork(painter, QRectF(QPointF(0, 0), size), name);
    return pixmap;
}

} // namespace tessaro
