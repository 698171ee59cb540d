#include "ManualPdf.h"

#include "ui/ProductArtwork.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

#include <cmath>
#include <functional>

namespace tessaro::manual {

namespace {

// Device units are dots of this resolution; the text layout works in them.
constexpr int Resolution = 300;
// Image, border and spacing sizes in the document are CSS pixels: 1/96 inch.
constexpr qreal CssPixelsPerInch = 96;

// The text area on the A4 page, in millimetres from the page's edges.
constexpr qreal MarginLeft = 22;
constexpr qreal MarginRight = 20;
constexpr qreal MarginTop = 25;
constexpr qreal MarginBottom = 22;
// The running header and the page number sit in the margins.
constexpr qreal HeaderTop = 12;
constexpr qreal FooterBottom = 11;

const QColor Ink(0x1a, 0x1a, 0x1a);
const QColor Accent(0x0b, 0x3d, 0x5c);
const QColor Muted(0x70, 0x70, 0x70);

qreal mm(qreal millimetres)
{
    return millimetres * Resolution / 25.4;
}

QFont sansFont(qreal points, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Calls edit with a cursor over each fragment of the block. Fragments are
// collected first: changing a format while walking them would split them.
void forEachFragment(const QTextBlock& block, const std::function<void(QTextCursor&)>& edit)
{
    QList<std::pair<int, int>> ranges;
    for (auto it = block.begin(); !it.atEnd(); ++it)
        ranges.append({it.fragment().position(), it.fragment().length()});
    for (const auto& [position, length] : ranges) {
        QTextCursor cursor(block);
        cursor.setPosition(position);
        cursor.setPosition(position + length, QTextCursor::KeepAnchor);
        edit(cursor);
    }
}

// Headings get fixed sizes rather than sizes relative to the body text, so a
// level-one heading reads as a chapter title on paper.
void styleHeading(const QTextBlock& block, int level)
{
    static constexpr qreal Points[] = {20, 14, 11.5, 10.5};
    static constexpr qreal SpaceAbove[] = {0, 16, 12, 10};
    const int index = qBound(1, level, 4) - 1;

    QTextCursor cursor(block);
    QTextBlockFormat format;
    format.setTopMargin(SpaceAbove[index]);
    format.setBottomMargin(level == 1 ? 14 : 6);
    cursor.mergeBlockFormat(format);

    forEachFragment(block, [&](QTextCursor& range) {
        QTextCharFormat chars = range.charFormat();
        chars.clearProperty(QTextFormat::FontSizeAdjustment);
        chars.setFontPointSize(Points[index]);
        chars.setFontWeight(QFont::Bold);
        chars.setForeground(level <= 2 ? Accent : Ink);
        range.setCharFormat(chars);
    });
}

void styleCodeBlock(const QTextBlock& block, bool first, bool last)
{
    QTextCursor cursor(block);
    QTextBlockFormat format;
    format.setBackground(QColor(0xf2, 0xf4, 0xf5));
    format.setLeftMargin(8);
    format.setRightMargin(8);
    format.setTopMargin(first ? 6 : 0);
    format.setBottomMargin(last ? 8 : 0);
    format.setNonBreakableLines(true);
    cursor.mergeBlockFormat(format);
    forEachFragment(block, [](QTextCursor& range) {
        QTextCharFormat chars;
        chars.setFontPointSize(8.5);
        range.mergeCharFormat(chars);
    });
}

// Code spans in running text: a monospaced face looks larger than the body
// text at the same size.
void styleInlineCode(const QTextBlock& block)
{
    forEachFragment(block, [](QTextCursor& range) {
        QTextCharFormat chars = range.charFormat();
        if (!chars.fontFixedPitch() || chars.isImageFormat())
            return;
        chars.setFontPointSize(9);
        range.setCharFormat(chars);
    });
}

bool isCode(const QTextBlock& block)
{
    return block.isValid() && block.blockFormat().hasProperty(QTextFormat::BlockCodeFence);
}

// Chapters begin on a new page; the very first one follows the title page
// anyway.
void styleBlocks(QTextDocument& doc)
{
    bool firstChapter = true;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level > 0) {
            styleHeading(block, level);
            if (level == 1 && !firstChapter) {
                QTextBlockFormat format;
                format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                QTextCursor(block).mergeBlockFormat(format);
            }
            firstChapter = firstChapter && level != 1;
        } else if (isCode(block)) {
            styleCodeBlock(block, !isCode(block.previous()), !isCode(block.next()));
            continue;
        }
        styleInlineCode(block);
    }
}

void styleTables(QTextFrame* frame)
{
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child)) {
            QTextTableFormat format = table->format();
            format.setBorder(0.75);
            format.setBorderBrush(QColor(0xb8, 0xc2, 0xc8));
            format.setBorderCollapse(true);
            format.setCellPadding(4);
            format.setCellSpacing(0);
            format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
            // A table that runs over a page break repeats its header row.
            format.setHeaderRowCount(1);
            format.setTopMargin(4);
            format.setBottomMargin(8);
            table->setFormat(format);
            for (int column = 0; column < table->columns(); ++column) {
                QTextTableCellFormat header = table->cellAt(0, column).format().toTableCellFormat();
                header.setBackground(QColor(0xe6, 0xee, 0xf2));
                table->cellAt(0, column).setFormat(header);
            }
        }
        styleTables(child);
    }
}

// Every image is read from the manual's folder into the document, so a
// missing picture is an error of the build rather than a blank spot, and a
// picture wider than the text is shrunk to fit.
QString embedImages(QTextDocument& doc, const QDir& folder, qreal maxWidth)
{
    struct Image
    {
        int position;
        QTextImageFormat format;
    };
    QList<Image> images;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat())
                images.append(
                    {it.fragment().position(), it.fragment().charFormat().toImageFormat()});
        }
    }
    for (Image& image : images) {
        const QString path = folder.filePath(image.format.name());
        const QImage picture(path);
        if (picture.isNull())
            return QStringLiteral("cannot read the image %1").arg(path);
        doc.addResource(QTextDocument::ImageResource, QUrl(image.format.name()), picture);
        const qreal scale = qMin(1.0, maxWidth / picture.width());
        image.format.setWidth(picture.width() * scale);
        image.format.setHeight(picture.height() * scale);
        QTextCursor cursor(&doc);
        cursor.setPosition(image.position);
        cursor.setPosition(image.position + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(image.format);
    }
    return {};
}

// A heading at the foot of a page, with its text on the next, moves to the
// next page as well. Each move shifts what follows, so the layout is asked
// again for every heading after a change.
void keepHeadingsWithText(QTextDocument& doc, qreal pageHeight)
{
    const qreal minimumSpaceBelow = pageHeight / 12;
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() < 2)
            continue;
        const QRectF rect = layout->blockBoundingRect(block);
        const qreal pageBottom = (std::floor(rect.top() / pageHeight) + 1) * pageHeight;
        if (pageBottom - rect.bottom() < minimumSpaceBelow) {
            QTextBlockFormat format;
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(block).mergeBlockFormat(format);
        }
    }
}

// The chapter each page belongs to, for the running header.
QStringList chapterOfEachPage(const QTextDocument& doc, qreal pageHeight)
{
    QStringList chapters(doc.pageCount());
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() != 1)
            continue;
        const int page = int(layout->blockBoundingRect(block).top() / pageHeight);
        for (int i = qMax(0, page); i < chapters.size(); ++i)
            chapters[i] = block.text();
    }
    return chapters;
}

void drawTitlePage(QPainter& painter, const QRectF& page, const QString& version)
{
    paintProductArtwork(painter, QRectF(0, 0, mm(62), page.height()), QStringLiteral("Tessaro"));

    const qreal left = mm(78);
    const qreal width = page.width() - left - mm(MarginRight);
    auto line = [&](qreal top, qreal height, const QFont& font, const QColor& color,
                    const QString& text) {
        painter.setFont(font);
        painter.setPen(color);
        painter.drawText(QRectF(left, top, width, height), Qt::AlignLeft | Qt::AlignBottom, text);
    };
    line(mm(70), mm(20), sansFont(34, true), Accent, QStringLiteral("Tessaro"));
    line(mm(92), mm(12), sansFont(18), Ink, QStringLiteral("User manual"));
    if (!version.isEmpty())
        line(mm(106), mm(8), sansFont(11), Muted, QStringLiteral("Version ") + version);

    painter.setPen(QPen(Accent, mm(0.6)));
    painter.drawLine(QPointF(left, mm(122)), QPointF(left + mm(40), mm(122)));

    painter.setFont(sansFont(11));
    painter.setPen(Ink);
    painter.drawText(QRectF(left, mm(130), width, mm(40)), Qt::AlignLeft | Qt::TextWordWrap,
                     QStringLiteral("A desktop backup scheduler: it turns folders into archives "
                                    "on request or on a schedule, keeps the destination folders "
                                    "within their limits and reports every step."));
}

void drawPageFrame(QPainter& painter, const QRectF& page, const QString& chapter, int number)
{
    painter.setFont(sansFont(8));
    painter.setPen(Muted);
    const QRectF header(mm(MarginLeft), mm(HeaderTop), page.width() - mm(MarginLeft + MarginRight),
                        mm(5));
    painter.drawText(header, Qt::AlignLeft | Qt::AlignBottom,
                     QStringLiteral("Tessaro user manual"));
    painter.drawText(header, Qt::AlignRight | Qt::AlignBottom, chapter);
    painter.setPen(QPen(QColor(0xc8, 0xd0, 0xd4), mm(0.2)));
    painter.drawLine(header.bottomLeft() + QPointF(0, mm(1.5)),
                     header.bottomRight() + QPointF(0, mm(1.5)));

    painter.setPen(Muted);
    const QRectF footer(0, page.height() - mm(FooterBottom) - mm(5), page.width(), mm(5));
    painter.drawText(footer, Qt::AlignHCenter | Qt::AlignBottom, QString::number(number));
}

} // namespace

QString writeManualPdf(const ManualInput& input)
{
    QFile source(input.markdownFile);
    if (!source.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read %1: %2").arg(input.markdownFile, source.errorString());
    const QString markdown = QString::fromUtf8(source.readAll());

    QPdfWriter writer(input.pdfFile);
    writer.setResolution(Resolution);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(QStringLiteral("Tessaro user manual"));
    writer.setCreator(QStringLiteral("Tessaro make-manual"));
    const QRectF page(0, 0, writer.width(), writer.height());
    const QSizeF body(page.width() - mm(MarginLeft + MarginRight),
                      page.height() - mm(MarginTop + MarginBottom));

    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setDefaultFont(sansFont(10));
    doc.setDocumentMargin(0);
    doc.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    const QString imageError = embedImages(doc, QFileInfo(input.markdownFile).dir(),
                                           body.width() * CssPixelsPerInch / Resolution);
    if (!imageError.isEmpty())
        return imageError;
    styleBlocks(doc);
    styleTables(doc.rootFrame());
    doc.setPageSize(body);
    keepHeadingsWithText(doc, body.height());
    // The moves above were laid out piecemeal; lay the whole text out anew so
    // no block keeps a place from before a move.
    doc.markContentsDirty(0, doc.characterCount());

    QPainter painter;
    if (!painter.begin(&writer))
        return QStringLiteral("cannot write %1").arg(input.pdfFile);
    drawTitlePage(painter, page, input.version);

    const QStringList chapters = chapterOfEachPage(doc, body.height());
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Ink);
    for (int index = 0; index < doc.pageCount(); ++index) {
        writer.newPage();
        // The title page is page 1.
        drawPageFrame(painter, page, chapters.value(index), index + 2);
        painter.save();
        painter.translate(mm(MarginLeft), mm(MarginTop) - index * body.height());
        context.clip = QRectF(0, index * body.height(), body.width(), body.height());
        painter.setClipRect(context.clip);
        doc.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    if (!painter.end())
        return QStringLiteral("cannot finish %1").arg(input.pdfFile);
    return {};
}

} // namespace tessaro::manual
