#include "Icons.h"

#include <QPainter>
#include <QPixmap>

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

QIcon trayStateIcon(TrayState state)
{
    if (state == TrayState::Idle)
        return programIcon();
    constexpr int size = 32;
    QPixmap pixmap = programIcon().pixmap(size, size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(state == TrayState::Failed ? QColor(0xD9, 0x34, 0x2B)
                                                : QColor(0x2E, 0x7D, 0xD7));
    painter.drawEllipse(QRect(size / 2, size / 2, size / 2 - 1, size / 2 - 1));
    painter.end();
    return QIcon(pixmap);
}

QIcon logFileIcon()
{
    return QIcon(iconFile(QStringLiteral("log")));
}

} // namespace tessaro
