// render-icons: the build step that draws the program's icon as PNG files
// for the desktop's icon theme, from the same SVG the window shows, so the
// launcher and the window never disagree.
//
//   render-icons <icon.svg> <output folder> <name> <size>...
//
// Writes <output folder>/<size>x<size>/apps/<name>.png for every size.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>

#include <cstdio>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "render-icons: %s\n", qPrintable(message));
    return 1;
}

QImage renderAt(QSvgRenderer& renderer, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, size, size));
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    // A build machine has no display; drawing into an image needs none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() < 4)
        return fail(QStringLiteral("usage: render-icons <icon.svg> <folder> <name> <size>..."));

    QSvgRenderer renderer(arguments.at(0));
    if (!renderer.isValid())
        return fail(QStringLiteral("cannot read ") + arguments.at(0));

    const QDir output(arguments.at(1));
    const QString name = arguments.at(2);
    for (const QString& sizeText : arguments.mid(3)) {
        bool ok = false;
        const int size = sizeText.toInt(&ok);
        if (!ok || size <= 0)
            return fail(QStringLiteral("not a size: ") + sizeText);
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        if (!output.mkpath(folder))
            return fail(QStringLiteral("cannot create ") + output.filePath(folder));
        const QString file =
            output.filePath(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
        if (!renderAt(renderer, size).save(file, "PNG"))
            return fail(QStringLiteral("cannot write ") + file);
    }
    return 0;
}
