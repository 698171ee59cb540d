#include "ui/ActivityLogView.h"

#include "app/LogLine.h"
#include "ui/Fonts.h"
#include "ui/PaintThrottle.h"
#include "ui/ReadableColor.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace tessaro {

namespace {

constexpr int margin = 4;
constexpr int focusMarkWidth = 2;
constexpr RgbColor linkColor = 0x0000CC;

// The column nearest to x, measured from the line's left edge. Advances
// grow with the prefix, so a binary search measures a few prefixes only.
qint32 columnAt(const QFontMetrics& metrics, const QString& text, int x)
{
    qint32 low = 0;
    qint32 high = qint32(text.size());
    while (low < high) {
        const qint32 middle = (low + high + 1) / 2;
        if (metrics.horizontalAdvance(text.left(middle)) <= x)
            low = middle;
        else
            high = middle - 1;
    }
    if (low < text.size()) {
        const int left = metrics.horizontalAdvance(text.left(low));
        const int right = metrics.horizontalAdvance(text.left(low + 1));
        if (x - left > right - x)
            ++low;
    }
    // Never between the halves of a surrogate pair.
    if (low > 0 && low < text.size() && text.at(low).isLowSurrogate())
        ++low;
    return low;
}

} // namespace

ActivityLogView::ActivityLogView(QWidget* parent)
    : QAbstractScrollArea(parent), m_paintThrottle(new PaintThrottle(this))
{
    setObjectName(QStringLiteral("LogView"));
    setFont(logViewFont());
    setFixedHeight(Height);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    viewport()->setCursor(Qt::IBeamCursor);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalScrollBar()->setSingleStep(1);
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::DefaultContextMenu);
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
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
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

void ActivityLogView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void ActivityLogView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
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
    m_paintThrottle->changed();
    QScrollBar* rows = verticalScrollBar();
    // Like a terminal, the view follows new lines only while it shows the
    // newest one; a user who scrolled up to read keeps the lines in sight.
    const bool following = rows->value() >= rows->maximum();
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
    bool dropped = false;
    if (qsizetype(m_lines.size()) > MaxLines) {
        m_lines.pop_front();
        ++m_dropped;
        dropped = true;
        // The selection moves with its line, and goes when its line does.
        m_selected =
            m_selected.line > 0 ? LinkPlace{m_selected.line - 1, m_selected.run} : LinkPlace{};
    }
    const int shown = rows->value();
    updateScrollBars();
    if (following)
        rows->setValue(rows->maximum());
    else if (dropped)
        // The lines in sight moved up by one; the view moves with them.
        rows->setValue(shown - 1);
    viewport()->update();
}

QString ActivityLogView::toPlainText() const
{
    QString text;
    for (const Line& line : m_lines)
        text += line.text + QLatin1Char('\n');
    return text;
}

std::pair<ActivityLogView::TextPlace, ActivityLogView::TextPlace> ActivityLogView::selection() const
{
    const TextPlace first{m_dropped, 0};
    TextPlace from = std::max(std::min(m_anchor, m_caret), first);
    TextPlace to = std::max(std::max(m_anchor, m_caret), first);
    return {from, to};
}

QString ActivityLogView::selectedText() const
{
    const auto [from, to] = selection();
    QString text;
    for (qint64 number = from.line; number <= to.line && indexOf(number) < lineCount(); ++number) {
        const QString& line = m_lines[size_t(indexOf(number))].text;
        const qint32 start = number == from.line ? from.column : 0;
        const qint32 end = number == to.line ? to.column : qint32(line.size());
        if (number > from.line)
            text += QLatin1Char('\n');
        text += line.mid(start, end - start);
    }
    return text;
}

void ActivityLogView::selectAll()
{
    if (m_lines.empty())
        return;
    m_anchor = {m_dropped, 0};
    m_caret = {m_dropped + lineCount() - 1, qint32(m_lines.back().text.size())};
    viewport()->update();
}

void ActivityLogView::copy() const
{
    const QString text = selectedText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

QMenu* ActivityLogView::createContextMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("LogViewMenu"));
    QAction* copyAction = menu->addAction(QStringLiteral("&Copy"), this, &ActivityLogView::copy);
    copyAction->setObjectName(QStringLiteral("LogViewCopy"));
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setEnabled(!selectedText().isEmpty());
    QAction* all =
        menu->addAction(QStringLiteral("Select &all"), this, &ActivityLogView::selectAll);
    all->setObjectName(QStringLiteral("LogViewSelectAll"));
    all->setShortcut(QKeySequence::SelectAll);
    menu->addSeparator();
    QAction* open = menu->addAction(QStringLiteral("&Open log file"), this,
                                    &ActivityLogView::openLogFileRequested);
    open->setObjectName(QStringLiteral("LogViewOpenLogFile"));
    return menu;
}

void ActivityLogView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
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

QPoint ActivityLogView::characterPosition(qsizetype line, qsizetype column) const
{
    const QRect area = lineRect(line);
    const QString text = line >= 0 && line < lineCount() ? m_lines[size_t(line)].text : QString();
    return QPoint(area.left() + fontMetrics().horizontalAdvance(text.left(column)),
                  area.center().y());
}

qsizetype ActivityLogView::lineAt(int y) const
{
    if (y < margin)
        return -1;
    const qsizetype line = verticalScrollBar()->value() + (y - margin) / fontMetrics().height();
    return line < lineCount() ? line : -1;
}

ActivityLogView::TextPlace ActivityLogView::placeAt(const QPoint& pos) const
{
    if (m_lines.empty())
        return {m_dropped, 0};
    const qsizetype row = (pos.y() - margin) < 0 ? verticalScrollBar()->value() - 1
                                                 : verticalScrollBar()->value() +
                                                       (pos.y() - margin) / fontMetrics().height();
    if (row < 0)
        return {m_dropped, 0};
    if (row >= lineCount())
        return {m_dropped + lineCount() - 1, qint32(m_lines.back().text.size())};
    const QString& text = m_lines[size_t(row)].text;
    return {m_dropped + row, columnAt(fontMetrics(), text, pos.x() - lineRect(row).left())};
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

void ActivityLogView::drawRuns(QPainter& painter, qsizetype index, const QColor* pen)
{
    Line& line = m_lines[size_t(index)];
    const QFontMetrics metrics = fontMetrics();
    QFont linkFont = font();
    linkFont.setUnderline(true);
    const QRect area = lineRect(index);
    int x = area.left();
    qint32 start = 0;
    for (size_t r = 0; r < line.runs.size(); ++r) {
        const Run& run = line.runs[r];
        const QString piece = line.text.mid(start, run.end - start);
        const int advance = metrics.horizontalAdvance(piece);
        const bool keyboardLink = !pen && m_selected == LinkPlace{index, qsizetype(r)};
        if (keyboardLink)
            painter.fillRect(QRect(x, area.top(), advance, area.height()),
                             palette().color(QPalette::Highlight));
        painter.setFont(run.link ? linkFont : font());
        painter.setPen(pen            ? *pen
                       : keyboardLink ? palette().color(QPalette::HighlightedText)
                                      : shownColor(run));
        painter.drawText(QPoint(x, area.top() + metrics.ascent()), piece);
        x += advance;
        start = run.end;
    }
    const int width = x - area.left();
    if (width > line.width)
        line.width = width;
}

void ActivityLogView::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    const QFontMetrics metrics = fontMetrics();
    const auto [from, to] = selection();
    const QColor selectedPen = palette().color(QPalette::HighlightedText);

    const qsizetype first = verticalScrollBar()->value();
    const qsizetype last = std::min(lineCount(), first + visibleLineCount() + 1);
    const int widestBefore = m_widestLine;
    for (qsizetype index = first; index < last; ++index) {
        drawRuns(painter, index, nullptr);
        m_widestLine = std::max(m_widestLine, m_lines[size_t(index)].width);
        const qint64 number = m_dropped + index;
        if (from == to || number < from.line || number > to.line)
            continue;
        // The selected part is drawn again over the highlight, clipped to it;
        // a selection that goes on to the next line covers the line's end.
        const QString& text = m_lines[size_t(index)].text;
        const int left = characterPosition(index, number == from.line ? from.column : 0).x();
        const int right = number == to.line ? characterPosition(index, to.column).x()
                                            : characterPosition(index, text.size()).x() +
                                                  metrics.horizontalAdvance(QLatin1Char(' '));
        const QRect area = lineRect(index);
        const QRect band(left, area.top(), right - left, area.height());
        painter.save();
        painter.setClipRect(band);
        painter.fillRect(band, palette().color(QPalette::Highlight));
        drawRuns(painter, index, &selectedPen);
        painter.restore();
    }
    if (hasFocus()) {
        // The focus mark: a frame in the highlight colour, inside the view.
        painter.setPen(QPen(palette().color(QPalette::Highlight), focusMarkWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(viewport()->rect())
                             .adjusted(focusMarkWidth / 2.0, focusMarkWidth / 2.0,
                                       -focusMarkWidth / 2.0, -focusMarkWidth / 2.0));
    }
    if (m_widestLine > widestBefore)
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

void ActivityLogView::scrollToPoint(const QPoint& pos)
{
    // Dragging past the top or the bottom edge scrolls on, a line a move.
    QScrollBar* rows = verticalScrollBar();
    if (pos.y() < 0)
        rows->setValue(rows->value() - 1);
    else if (pos.y() > viewport()->height())
        rows->setValue(rows->value() + 1);
}

void ActivityLogView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const TextPlace place = placeAt(event->position().toPoint());
    if (!(event->modifiers() & Qt::ShiftModifier))
        m_anchor = place;
    m_caret = place;
    m_selecting = true;
    viewport()->update();
}

void ActivityLogView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (m_selecting && (event->buttons() & Qt::LeftButton)) {
        scrollToPoint(pos);
        m_caret = placeAt(pos);
        viewport()->update();
    }
    const bool overLink = !m_selecting && !anchorAt(pos).isEmpty();
    viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
    QAbstractScrollArea::mouseMoveEvent(event);
}

void ActivityLogView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_selecting) {
        m_selecting = false;
        const QString link = anchorAt(event->position().toPoint());
        if (m_anchor == m_caret && !link.isEmpty()) {
            Q_EMIT linkClicked(link);
            return;
        }
        // Where the desktop has a selection clipboard, a selection is in it.
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (clipboard->supportsSelection() && m_anchor != m_caret)
            clipboard->setText(selectedText(), QClipboard::Selection);
        return;
    }
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void ActivityLogView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_lines.empty()) {
        QAbstractScrollArea::mouseDoubleClickEvent(event);
        return;
    }
    // A link is one word; elsewhere a word is what lies between blanks,
    // within its run.
    const TextPlace place = placeAt(event->position().toPoint());
    const Line& line = m_lines[size_t(indexOf(place.line))];
    qint32 runStart = 0;
    for (const Run& run : line.runs) {
        if (place.column < run.end || &run == &line.runs.back()) {
            qint32 start = place.column;
            qint32 end = std::min(place.column, run.end);
            if (run.link) {
                start = runStart;
                end = run.end;
            }
            while (start > runStart && !line.text.at(start - 1).isSpace())
                --start;
            while (end < run.end && !line.text.at(end).isSpace())
                ++end;
            m_anchor = {place.line, start};
            m_caret = {place.line, end};
            break;
        }
        runStart = run.end;
    }
    // The release that follows ends no selection of its own.
    m_selecting = false;
    viewport()->update();
}

} // namespace tessaro
