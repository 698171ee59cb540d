#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

namespace tessaro::tools {

// A Windows icon file holding the images as PNG entries, the form Windows
// reads since Vista for every size. Images larger than 256 pixels are not
// allowed by the format.
QByteArray iconFileBytes(const QList<QImage>& images);

} // namespace tessaro::tools
