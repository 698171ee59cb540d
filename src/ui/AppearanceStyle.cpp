#include "ui/AppearanceStyle.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

#include <optional>

namespace tessaro {

namespace {

// What the program started with, taken before the first change.
struct StartAppearance
{
    QString styleName;
    QPalette palette;
};

const StartAppearance& startAppearance()
{
    static const StartAppearance start{QApplication::style()->name(), QApplication::palette()};
    return start;
}

std::optional<TAppearance>& applied()
{
    static std::optional<TAppearance> current;
    return current;
}

} // namespace

QPalette darkPalette()
{
    const QColor window(0x2D, 0x2D, 0x30);
    const QColor base(0x1E, 0x1E, 0x1E);
    const QColor text(0xE6, 0xE6, 0xE6);
    const QColor disabled(0x80, 0x80, 0x80);
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::ToolTipBase, window);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, QColor(0xA0, 0xA0, 0xA0));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0x3C, 0x3C, 0x40));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, QColor(0xFF, 0x60, 0x60));
    palette.setColor(QPalette::Light, QColor(0x50, 0x50, 0x55));
    palette.setColor(QPalette::Midlight, QColor(0x46, 0x46, 0x4A));
    palette.setColor(QPalette::Mid, QColor(0x28, 0x28, 0x2B));
    palette.setColor(QPalette::Dark, QColor(0x1A, 0x1A, 0x1C));
    palette.setColor(QPalette::Shadow, Qt::black);
    palette.setColor(QPalette::Link, QColor(0x6C, 0xB4, 0xFF));
    palette.setColor(QPalette::LinkVisited, QColor(0xB4, 0x8C, 0xFF));
    palette.setColor(QPalette::Highlight, QColor(0x2F, 0x6F, 0xC0));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::HighlightedText})
        palette.setColor(QPalette::Disabled, role, disabled);
    return palette;
}

void applyAppearance(TAppearance appearance)
{
    const StartAppearance& start = startAppearance();
    if (applied() == appearance)
        return;
    if (!applied() && appearance == TAppearance::System) {
        // The program's first look is the system's already.
        applied() = appearance;
        return;
    }
    applied() = appearance;
    switch (appearance) {
    case TAppearance::System:
        QApplication::setStyle(QStyleFactory::create(start.styleName));
        QApplication::setPalette(start.palette);
        return;
    case TAppearance::Light:
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(QApplication::style()->standardPalette());
        return;
    case TAppearance::Dark:
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(darkPalette());
        return;
    }
}

} // namespace tessaro
