#include "ui/ActivityLogView.h"

#include "app/LogLine.h"
#include "ui/Fonts.h"
#include "ui/ReadableColor.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace tessaro {

namespace {

constexpr int margin = 4;
constexpr RgbColor linkColor = 0x0000CC;

} // namespace

ActivityLogView::ActivityLogView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("LogView"));
    setFont(logViewFont());
    setFixedHeight(Height);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalScrollBar()->setSingleStep(1);
    setFocusPolicy(Qt::StrongFocus);
}

QColor ActivityLogView::shownColor(const Run& run) const
{
    const QColor base = palette().color(QPalette::Base);
    if (run.link)
        return readableOn(palette().color(QPalette::Link), base);
    if (run.color == LogColorBlack)
        return palette().color(QPalette::Text);
    return readableOn(QColor::fromRgb(QRgb(run.color)), base);
}

QString ActivityLogView::runText(const Line& line, qsizetype run) const
{
    const qint32 start = run == 0 ? 0 : line.runs[size_t(run - 1)].end;
    return line.text.mid(start, line.runs[size_t(run)].end - start);
}

QString ActivityLogView::selectedLink() const
{
    if (m_selected.line < 0 || m_selected.line >= lineCount())
        return {};
    return runText(m_lines[size_t(m_selected.line)], m_selected.run);
}

QList<std::pair<QString, QColor>> ActivityLogView::shownRuns() const
{
    QList<std::pair<QString, QColor>> runs;
    for (const Line& line : m_lines)
        for (size_t run = 0; run < line.runs.size(); ++run)
            runs.append({runText(line, qsizetype(run)), shownColor(line.runs[run])});
    return runs;
}

void ActivityLogView::selectLink(bool next)
{
    QList<LinkPlace> links;
    for (qsizetype line = 0; line < lineCount(); ++line)
        for (size_t run = 0; run < m_lines[size_t(line)].runs.size(); ++run)
            if (m_lines[size_t(line)].runs[run].link)
                links.append({line, qsizetype(run)});
    if (links.isEmpty())
        return;
    const qsizetype current = links.indexOf(m_selected);
    if (current < 0)
        m_selected = next ? links.first() : links.last();
    else
        m_selected = links[(current + (next ? 1 : links.size() - 1)) % links.size()];
    // Scrolled into sight, as a text cursor would be.
    QScrollBar* rows = verticalScrollBar();
    if (m_selected.line < rows->value())
        rows->setValue(int(m_selected.line));
    else if (m_selected.line >= rows->value() + visibleLineCount())
        rows->setValue(int(m_selected.line) - visibleLineCount() + 1);
    viewport()->update();
}

void ActivityLogView::keyPressEvent(QKeyEvent* event)
{
    const bool ctrl = event->modifiers() == Qt::ControlModifier;
    if (ctrl && (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up)) {
        selectLink(event->key() == Qt::Key_Down);
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !selectedLink().isEmpty()) {
        Q_EMIT linkClicked(selectedLink());
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void ActivityLogView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    // Colours are chosen when drawn: a new palette only needs a new drawing.
    if (event->type() == QEvent::PaletteChange)
        viewport()->update();
}

void ActivityLogView::appendRun(const QString& text, RgbColor color, bool link)
{
    if (text.isEmpty())
        return;
    m_pending.text += text;
    m_pending.runs.push_back({qint32(m_pending.text.size()), color, link});
}

void ActivityLogView::appendText(const QString& text, RgbColor color)
{
    appendRun(text, color, false);
}

void ActivityLogView::appendLink(const QString& link)
{
    appendRun(link, linkColor, true);
}

void ActivityLogView::endLine()
{
    m_pending.text.squeeze();
    m_pending.runs.shrink_to_fit();
    // Measuring the text would shape it, which costs more than all the rest
    // of a line; the font is monospaced, so the width is the character
    // count times the advance. Drawing measures the lines it shows and
    // widens the scroll range when a line turns out wider.
    m_pending.width =
        fontMetrics().horizontalAdvance(QLatin1Char('x')) * int(m_pending.text.size());
    m_widestLine = std::max(m_widestLine, m_pending.width);
    m_lines.push_back(std::move(m_pending));
    m_pending = Line();
    if (qsizetype(m_lines.size()) > MaxLines) {
        m_lines.pop_front();
        // The selection moves with its line, and goes when its line does.
        m_selected =
            m_selected.line > 0 ? LinkPlace{m_selected.line - 1, m_selected.run} : LinkPlace{};
    }
    updateScrollBars();
    // Like a terminal, the view follows the newest line.
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    viewport()->update();
}

QString ActivityLogView::toPlainText() const
{
    QString text;
    for (const Line& line : m_lines)
        text += line.text + QLatin1Char('\n');
    return text;
}

int ActivityLogView::visibleLineCount() const
{
    return std::max(1, (viewport()->height() - 2 * margin) / fontMetrics().height());
}

void ActivityLogView::updateScrollBars()
{
    verticalScrollBar()->setPageStep(visibleLineCount());
    verticalScrollBar()->setRange(0, int(std::max<qsizetype>(0, lineCount() - visibleLineCount())));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setRange(0,
                                    std::max(0, m_widestLine + 2 * margin - viewport()->width()));
}

QRect ActivityLogView::lineRect(qsizetype line) const
{
    const int height = fontMetrics().height();
    const qsizetype row = line - verticalScrollBar()->value();
    return QRect(margin - horizontalScrollBar()->value(), margin + int(row) * height,
                 line >= 0 && line < lineCount() ? m_lines[size_t(line)].width : 0, height);
}

qsizetype ActivityLogView::lineAt(int y) const
{
    if (y < margin)
        return -1;
    const qsizetype line = verticalScrollBar()->value() + (y - margin) / fontMetrics().height();
    return line < lineCount() ? line : -1;
}

QString ActivityLogView::anchorAt(const QPoint& pos) const
{
    const qsizetype index = lineAt(pos.y());
    if (index < 0)
        return {};
    const Line& line = m_lines[size_t(index)];
    const QFontMetrics metrics = fontMetrics();
    int x = margin - horizontalScrollBar()->value();
    qint32 start = 0;
    for (const Run& run : line.runs) {
        const QStringView piece = QStringView(line.text).sliced(start, run.end - start);
        const int right = x + metrics.horizontalAdvance(piece.toString());
        if (pos.x() >= x && pos.x() < right)
            return run.link ? piece.toString() : QString();
        x = right;
        start = run.end;
    }
    return {};
}

void ActivityLogView::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    const QFontMetrics metrics = fontMetrics();
    QFont linkFont = font();
    linkFont.setUnderline(true);

    const qsizetype first = verticalScrollBar()->value();
    const qsizetype last = std::min(lineCount(), first + visibleLineCount() + 1);
    bool widened = false;
    for (qsizetype index = first; index < last; ++index) {
        Line& line = m_lines[size_t(index)];
        const QRect area = lineRect(index);
        int x = area.left();
        qint32 start = 0;
        for (size_t r = 0; r < line.runs.size(); ++r) {
            const Run& run = line.runs[r];
            const QString piece = line.text.mid(start, run.end - start);
            const int advance = metrics.horizontalAdvance(piece);
            const bool selected = m_selected == LinkPlace{index, qsizetype(r)};
            if (selected)
                painter.fillRect(QRect(x, area.top(), advance, area.height()),
                                 palette().color(QPalette::Highlight));
            painter.setFont(run.link ? linkFont : font());
            painter.setPen(selected ? palette().color(QPalette::HighlightedText) : shownColor(run));
            painter.drawText(QPoint(x, area.top() + metrics.ascent()), piece);
            x += advance;
            start = run.end;
        }
        const int width = x - area.left();
        if (width > line.width) {
            line.width = width;
            widened = widened || width > m_widestLine;
            m_widestLine = std::max(m_widestLine, width);
        }
    }
    if (widened)
        updateScrollBars();
}

void ActivityLogView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    const bool atEnd = verticalScrollBar()->value() == verticalScrollBar()->maximum();
    updateScrollBars();
    if (atEnd)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void ActivityLogView::mouseMoveEvent(QMouseEvent* event)
{
    const bool overLink = !anchorAt(event->position().toPoint()).isEmpty();
    viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::ArrowCursor);
    QAbstractScrollArea::mouseMoveEvent(event);
}

void ActivityLogView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QString link = anchorAt(event->position().toPoint());
        if (!link.isEmpty()) {
            Q_EMIT linkClicked(link);
            return;
        }
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

} // namespace tessaro
