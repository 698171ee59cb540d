#include "ui/StatusTextPanel.h"

#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace tessaro {

namespace {

constexpr int horizontalMargin = 4;
constexpr int verticalMargin = 1;

QString withoutLeadingBlanks(const QString& text)
{
    qsizetype start = 0;
    while (start < text.size() && text.at(start).isSpace())
        ++start;
    return text.mid(start);
}

} // namespace

StatusTextPanel::StatusTextPanel(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    measureLineHeight();
}

void StatusTextPanel::measureLineHeight()
{
    // Texts in scripts the main font lacks are drawn in fallback fonts, whose
    // lines run up to a quarter taller (the CJK ones most). Measuring those
    // fonts would load them, which costs the idle program megabytes where no
    // such text is ever shown; a quarter more than the main font's line
    // holds them.
    const int height = fontMetrics().height();
    m_lineHeight = height + (height + 3) / 4;
}

void StatusTextPanel::setText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    // The name is what a screen reader reads; the size stays as it is.
    setAccessibleName(text);
    update();
}

QString StatusTextPanel::shownText() const
{
    return fontMetrics().elidedText(withoutLeadingBlanks(m_text), Qt::ElideMiddle,
                                    std::max(0, width() - 2 * horizontalMargin));
}

QString StatusTextPanel::toolTipText() const
{
    return shownText() != withoutLeadingBlanks(m_text) ? m_text : QString();
}

QSize StatusTextPanel::sizeHint() const
{
    return {std::max(minimumWidth(), 20 * fontMetrics().averageCharWidth()),
            m_lineHeight + 2 * verticalMargin};
}

QSize StatusTextPanel::minimumSizeHint() const
{
    return {fontMetrics().horizontalAdvance(QStringLiteral("…")) + 2 * horizontalMargin,
            m_lineHeight + 2 * verticalMargin};
}

bool StatusTextPanel::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const QString tip = toolTipText();
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, this);
        return true;
    }
    return QWidget::event(event);
}

void StatusTextPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect().adjusted(horizontalMargin, 0, -horizontalMargin, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shownText());
}

void StatusTextPanel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        measureLineHeight();
        updateGeometry();
    }
    QWidget::changeEvent(event);
}

} // namespace tessaro
