#include "ui/StatusTextPanel.h"

#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QTextLayout>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace tessaro {

namespace {

constexpr int horizontalMargin = 4;
constexpr int verticalMargin = 1;

// Texts in scripts the main font lacks are drawn in fallback fonts, whose
// lines are often taller; the underscore stands for the lowest mark.
const QString tallSample = QStringLiteral("Ág_ 日本語_ 한국어");

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
    QTextLayout layout(tallSample, font());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    m_lineHeight = std::max(fontMetrics().height(), int(std::ceil(line.height())));
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
