#pragma once

#include <QPixmap>
#include <QSize>

class QPainter;
class QRectF;

namespace tessaro {

// The product artwork: the About dialog's picture and the manual's title
// page. Painted rather than stored, so it needs Qt GUI only and scales to
// any size; the manual's build tool shares this file.
void paintProductArtwork(QPainter& painter, const QRectF& area, const QString& name);
QPixmap productArtwork(QSize size, const QString& name);

} // namespace tessaro
