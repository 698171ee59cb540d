#include "IconFile.h"

#include <QBuffer>
#include <QDataStream>

namespace tessaro::tools {

namespace {

constexpr int headerSize = 6;
constexpr int entrySize = 16;

QByteArray pngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The directory stores 256 as 0: a byte holds the width and height.
quint8 dimension(int pixels)
{
    return pixels >= 256 ? 0 : quint8(pixels);
}

} // namespace

QByteArray iconFileBytes(const QList<QImage>& images)
{
    QList<QByteArray> pngs;
    for (const QImage& image : images)
        pngs.append(pngBytes(image));

    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(pngs.size());
    quint32 offset = headerSize + entrySize * pngs.size();
    for (qsizetype i = 0; i < pngs.size(); ++i) {
        const QImage& image = images.at(i);
        out << dimension(image.width()) << dimension(image.height()) << quint8(0) << quint8(0)
            << quint16(1) << quint16(32) << quint32(pngs.at(i).size()) << offset;
        offset += quint32(pngs.at(i).size());
    }
    for (const QByteArray& png : pngs)
        out.writeRawData(png.constData(), int(png.size()));
    return file;
}

} // namespace tessaro::tools
