#include "ActivityLogView.h"

#include "Fonts.h"
#include "LogLine.h"
#include "ReadableColor.h"

#include <QEvent>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QUrl>

namespace tessaro {

namespace {

// Links carry the path they show; the scheme keeps Windows drive letters
// from being read as a URL scheme of their own.
const QString linkScheme = QStringLiteral("tessaro-path:");

QString linkHref(const QString& path)
{
    return linkScheme + QString::fromLatin1(QUrl::toPercentEncoding(path));
}

QString pathOfHref(const QUrl& href)
{
    const QString text = href.toString(QUrl::FullyEncoded);
    if (!text.startsWith(linkScheme))
        return {};
    return QUrl::fromPercentEncoding(text.mid(linkScheme.size()).toLatin1());
}

// Each run keeps the colour the log asked for, so that a new palette can
// show it anew; links have their own.
constexpr int WantedColorProperty = QTextFormat::UserProperty + 1;
constexpr int LinkProperty = QTextFormat::UserProperty + 2;

} // namespace

ActivityLogView::ActivityLogView(QWidget* parent) : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("LogView"));
    setReadOnly(true);
    setOpenLinks(false);
    setFont(logViewFont());
    setFixedHeight(Height);
    setLineWrapMode(QTextEdit::NoWrap);
    setTabChangesFocus(true);
    connect(this, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& href) { Q_EMIT linkClicked(pathOfHref(href)); });
}

void ActivityLogView::insertAtEnd(const QString& text, const QTextCharFormat& format)
{
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text, format);
}

QColor ActivityLogView::shownColor(RgbColor wanted) const
{
    if (wanted == LogColorBlack)
        return palette().color(QPalette::Text);
    return readableOn(QColor::fromRgb(wanted), palette().color(QPalette::Base));
}

QColor ActivityLogView::shownLinkColor() const
{
    return readableOn(palette().color(QPalette::Link), palette().color(QPalette::Base));
}

void ActivityLogView::appendText(const QString& text, RgbColor color)
{
    QTextCharFormat format;
    format.setProperty(WantedColorProperty, int(color));
    format.setForeground(shownColor(color));
    insertAtEnd(text, format);
}

void ActivityLogView::appendLink(const QString& link)
{
    QTextCharFormat format;
    format.setAnchor(true);
    format.setAnchorHref(linkHref(link));
    format.setProperty(LinkProperty, true);
    format.setForeground(shownLinkColor());
    format.setFontUnderline(true);
    insertAtEnd(link, format);
}

bool ActivityLogView::focusNextPrevChild(bool next)
{
    // Tab leaves the view instead of visiting its links one by one, which in
    // a long log would make it a trap for keyboard users.
    return QTextEdit::focusNextPrevChild(next);
}

void ActivityLogView::keyPressEvent(QKeyEvent* event)
{
    const bool ctrl = event->modifiers() == Qt::ControlModifier;
    if (ctrl && (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up)) {
        selectLink(event->key() == Qt::Key_Down);
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QTextCursor cursor = textCursor();
    if (enter && cursor.hasSelection()) {
        QTextCursor start(document());
        start.setPosition(cursor.selectionStart() + 1);
        if (start.charFormat().isAnchor()) {
            Q_EMIT linkClicked(pathOfHref(QUrl(start.charFormat().anchorHref())));
            return;
        }
    }
    QTextBrowser::keyPressEvent(event);
}

bool ActivityLogView::selectLink(bool next)
{
    QList<std::pair<int, int>> links;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isAnchor())
                links.append({fragment.position(), fragment.position() + fragment.length()});
        }
    }
    if (links.isEmpty())
        return false;
    // From the selection on, round to the other end at the last link.
    const QTextCursor current = textCursor();
    std::pair<int, int> chosen = next ? links.first() : links.last();
    if (next) {
        for (const auto& link : links) {
            if (link.first >= current.selectionEnd()) {
                chosen = link;
                break;
            }
        }
    } else {
        for (const auto& link : links)
            if (link.second <= current.selectionStart())
                chosen = link;
        if (current.selectionStart() <= links.first().first)
            chosen = links.last();
    }
    QTextCursor link(document());
    link.setPosition(chosen.first);
    link.setPosition(chosen.second, QTextCursor::KeepAnchor);
    setTextCursor(link);
    ensureCursorVisible();
    return true;
}

void ActivityLogView::changeEvent(QEvent* event)
{
    QTextBrowser::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        recolor();
}

void ActivityLogView::recolor()
{
    // The runs are collected first: changing a format may merge fragments.
    struct Run
    {
        int start;
        int end;
        QColor color;
    };
    QList<Run> runs;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const int end = fragment.position() + fragment.length();
            if (format.hasProperty(LinkProperty))
                runs.append({fragment.position(), end, shownLinkColor()});
            else if (format.hasProperty(WantedColorProperty))
                runs.append({fragment.position(), end,
                             shownColor(RgbColor(format.intProperty(WantedColorProperty)))});
        }
    }
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (const Run& run : runs) {
        cursor.setPosition(run.start);
        cursor.setPosition(run.end, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setForeground(run.color);
        cursor.mergeCharFormat(format);
    }
    cursor.endEditBlock();
}

void ActivityLogView::endLine()
{
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    setTextCursor(cursor);
    ensureCursorVisible();
}

} // namespace tessaro
