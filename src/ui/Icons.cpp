#include "ui/Icons.h"

#include <QPainter>
#include <QPixmap>

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
    return picture(QStringLiteral("log"));
}

QIcon failedRuleIcon()
{
    QIcon icon;
    for (const int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xD9, 0x34, 0x2B));
        painter.drawEllipse(QRectF(0.5, 0.5, size - 1.0, size - 1.0));
        painter.setPen(QPen(Qt::white, size / 8.0, Qt::SolidLine, Qt::RoundCap));
        const double inset = size * 0.3;
        painter.drawLine(QPointF(inset, inset), QPointF(size - inset, size - inset));
        painter.drawLine(QPointF(size - inset, inset), QPointF(inset, size - inset));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace tessaro
