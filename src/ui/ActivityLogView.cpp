#include "ActivityLogView.h"

#include "Fonts.h"

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

} // namespace

ActivityLogView::ActivityLogView(QWidget* parent) : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("LogView"));
    setReadOnly(true);
    setOpenLinks(false);
    setFont(logViewFont());
    setFixedHeight(Height);
    setLineWrapMode(QTextEdit::NoWrap);
    connect(this, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& href) { Q_EMIT linkClicked(pathOfHref(href)); });
}

void ActivityLogView::insertAtEnd(const QString& text, const QTextCharFormat& format)
{
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text, format);
}

void ActivityLogView::appendText(const QString& text, RgbColor color)
{
    QTextCharFormat format;
    format.setForeground(QColor::fromRgb(color));
    format.setBackground(Qt::white);
    insertAtEnd(text, format);
}

void ActivityLogView::appendLink(const QString& link)
{
    QTextCharFormat format;
    format.setAnchor(true);
    format.setAnchorHref(linkHref(link));
    format.setForeground(QColor(0x00, 0x00, 0xCC));
    format.setFontUnderline(true);
    insertAtEnd(link, format);
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
