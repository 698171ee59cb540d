#include "Icons.h"

namespace tessaro {

namespace {

// The sizes the build draws every picture at; QIcon scales the nearest one.
constexpr int pictureSizes[] = {TESSARO_ICON_SIZES};

void addPicture(QIcon& icon, const QString& name, QIcon::Mode mode)
{
    for (const int size : pictureSizes) {
        icon.addFile(QStringLiteral(":/icons/") + name + QLatin1Char('-') + QString::number(size) +
                         QStringLiteral(".png"),
                     QSize(size, size), mode);
    }
}

QIcon picture(const QString& name)
{
    QIcon icon;
    addPicture(icon, name, QIcon::Normal);
    return icon;
}

} // namespace

QIcon navigationIcon(const QString& name)
{
    QIcon icon = picture(name);
    addPicture(icon, name + QStringLiteral("-grey"), QIcon::Disabled);
    return icon;
}

QIcon programIcon()
{
    return picture(QStringLiteral("tessaro"));
}

QIcon logFileIcon()
{
    return picture(QStringLiteral("log"));
}

} // namespace tessaro
