#include "Icons.h"

namespace tessaro {

namespace {

QString iconFile(const QString& name)
{
    return QStringLiteral(":/icons/") + name + QStringLiteral(".svg");
}

} // namespace

QIcon navigationIcon(const QString& name)
{
    QIcon icon;
    icon.addFile(iconFile(name), QSize(), QIcon::Normal);
    icon.addFile(iconFile(name + QStringLiteral("-grey")), QSize(), QIcon::Disabled);
    return icon;
}

QIcon programIcon()
{
    return QIcon(iconFile(QStringLiteral("tessaro")));
}

QIcon logFileIcon()
{
    return QIcon(iconFile(QStringLiteral("log")));
}

} // namespace tessaro
