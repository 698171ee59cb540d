// render-icons: the build step that turns the program's SVG pictures into
// PNG files of fixed sizes, and the program icon into a Windows .ico. The
// program then needs no SVG support at run time, which a Windows build
// without Qt's SVG module does not have.
//
//   render-icons png <output-folder> <size,size,...> <picture.svg>...
//       writes <output-folder>/<name>-<size>.png for every size and picture
//   render-icons ico <output.ico> <size,size,...> <picture.svg>
//   render-icons theme <theme-folder> <size,size,...> <picture.svg> <name>
//       writes <theme-folder>/<size>x<size>/apps/<name>.png for the
//       desktop's icon theme

#include "IconFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>

#include <cstdio>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "render-icons: %s\n", qPrintable(message));
    return 1;
}

QImage render(QSvgRenderer& picture, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    picture.render(&painter);
    return image;
}

QList<int> parseSizes(const QString& text)
{
    QList<int> sizes;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int size = part.toInt(&ok);
        if (!ok || size < 1 || size > 1024)
            return {};
        sizes.append(size);
    }
    return sizes;
}

int writePngs(const QString& folder, const QList<int>& sizes, const QStringList& pictures)
{
    QDir().mkpath(folder);
    for (const QString& file : pictures) {
        QSvgRenderer picture(file);
        if (!picture.isValid())
            return fail(QStringLiteral("cannot read ") + file);
        const QString name = QFileInfo(file).completeBaseName();
        for (const int size : sizes) {
            const QString output = QDir(folder).filePath(
                name + QLatin1Char('-') + QString::number(size) + QStringLiteral(".png"));
            if (!render(picture, size).save(output, "PNG"))
                return fail(QStringLiteral("cannot write ") + output);
        }
    }
    return 0;
}

int writeThemeIcons(const QString& folder, const QList<int>& sizes, const QString& file,
                    const QString& name)
{
    QSvgRenderer picture(file);
    if (!picture.isValid())
        return fail(QStringLiteral("cannot read ") + file);
    for (const int size : sizes) {
        const QString sized = QString::number(size);
        const QString apps =
            QDir(folder).filePath(sized + QLatin1Char('x') + sized + QStringLiteral("/apps"));
        QDir().mkpath(apps);
        const QString output = QDir(apps).filePath(name + QStringLiteral(".png"));
        if (!render(picture, size).save(output, "PNG"))
            return fail(QStringLiteral("cannot write ") + output);
    }
    return 0;
}

int writeIco(const QString& output, const QList<int>& sizes, const QString& file)
{
    QSvgRenderer picture(file);
    if (!picture.isValid())
        return fail(QStringLiteral("cannot read ") + file);
    QList<QImage> images;
    for (const int size : sizes)
        images.append(render(picture, size));
    QSaveFile ico(output);
    if (!ico.open(QIODevice::WriteOnly) || ico.write(tessaro::tools::iconFileBytes(images)) < 0 ||
        !ico.commit())
        return fail(QStringLiteral("cannot write ") + output);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // A build machine has no display; drawing into images needs none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    const QStringList modes = {QStringLiteral("png"), QStringLiteral("ico"),
                               QStringLiteral("theme")};
    if (args.size() < 4 || !modes.contains(args.at(0)))
        return fail(QStringLiteral(
            "usage: render-icons png|ico|theme <output> <sizes> <picture.svg>... [name]"));
    const QList<int> sizes = parseSizes(args.at(2));
    if (sizes.isEmpty())
        return fail(QStringLiteral("bad sizes: ") + args.at(2));
    if (args.at(0) == u"png")
        return writePngs(args.at(1), sizes, args.mid(3));
    if (args.at(0) == u"theme")
        return args.size() == 5 ? writeThemeIcons(args.at(1), sizes, args.at(3), args.at(4))
                                : fail(QStringLiteral("theme takes one picture and a name"));
    if (args.size() != 4)
        return fail(QStringLiteral("ico takes one picture"));
    return writeIco(args.at(1), sizes, args.at(3));
}
