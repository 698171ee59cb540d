#pragma once

#include "app/MainView.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QList>

#include <compare>
#include <deque>
#include <utility>
#include <vector>

class QMenu;

namespace tessaro {

class PaintThrottle;

// The log view: coloured lines with clickable file and folder links. A
// click on a link reports the path it shows. The colours follow the palette:
// the default colour is the palette's text colour, and warning, error and
// link colours are kept readable on the palette's background, also when the
// palette changes while lines are shown.
//
// Text is selected as in a read-only text pane: by dragging, by a click and
// a shift-click, by a double click on a word, or all with Ctrl+A; Ctrl+C
// and the context menu copy it. A click on a link that selects nothing
// opens the link.
//
// The view is one Tab stop and draws a focus mark while it has the focus.
// Inside it Ctrl+Down and Ctrl+Up select the next and the previous link,
// and Enter opens the selected one.
//
// A program that runs for weeks logs without end, so the view keeps the
// newest MaxLines lines (the log files keep everything). Lines are stored
// as their text and a few runs, and only the lines in sight are laid out
// and drawn, so a new line costs the same however many came before. The
// view follows new lines while it shows the newest one; scrolled up, it
// stays on the lines the user reads. A pass of many quick rules brings
// lines faster than anyone reads them: they are painted together, at most
// every PaintThrottle::Interval.
class ActivityLogView final : public QAbstractScrollArea, public LogViewSink
{
    Q_OBJECT

public:
    static constexpr int Height = 146;
    // The least it shrinks to on a small screen: a few lines.
    static constexpr int LeastHeight = 60;
    static constexpr qsizetype MaxLines = 10000;

    explicit ActivityLogView(QWidget* parent = nullptr);

    void appendText(const QString& text, RgbColor color) override;
    void appendLink(const QString& link) override;
    void endLine() override;

    qsizetype lineCount() const { return qsizetype(m_lines.size()); }
    // The lines held, each ended by a line break.
    QString toPlainText() const;
    // Where the line is drawn, in viewport coordinates; it may lie outside
    // the viewport.
    QRect lineRect(qsizetype line) const;
    // The link selected from the keyboard, or an empty text.
    QString selectedLink() const;
    // Every run of the lines held, with the colour it is shown in.
    QList<std::pair<QString, QColor>> shownRuns() const;
    // The path of the link at the point of the viewport, or an empty text.
    QString anchorAt(const QPoint& pos) const;
    // Where the given character of a line is drawn, in viewport coordinates.
    QPoint characterPosition(qsizetype line, qsizetype column) const;

    // The selected text; lines are joined by line breaks.
    QString selectedText() const;
    void selectAll();
    // Puts the selected text on the clipboard; nothing when none is selected.
    void copy() const;
    // The context menu of the view: "&Copy", "Select &all", "&Open log file".
    // The caller owns it.
    QMenu* createContextMenu(QWidget* parent);

Q_SIGNALS:
    void linkClicked(const QString& path);
    // "Open log file" was chosen in the context menu.
    void openLogFileRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // A piece of a line: its text runs up to end, in one colour, or a link.
    struct Run
    {
        qint32 end = 0;
        RgbColor color = 0;
        bool link = false;
    };
    struct Line
    {
        QString text;
        std::vector<Run> runs;
        int width = 0;
    };

    // A link as its line and its run in that line.
    struct LinkPlace
    {
        qsizetype line = -1;
        qsizetype run = -1;
        friend bool operator==(const LinkPlace&, const LinkPlace&) = default;
    };

    // A place between two characters. The line is counted from the first
    // line the view ever held, so that a selection stays on its text while
    // the oldest lines go.
    struct TextPlace
    {
        qint64 line = 0;
        qint32 column = 0;
        friend auto operator<=>(const TextPlace&, const TextPlace&) = default;
    };

    void appendRun(const QString& text, RgbColor color, bool link);
    QColor shownColor(const Run& run) const;
    QString runText(const Line& line, qsizetype run) const;
    // Selects the link after (or before) the selection, round at the ends.
    void selectLink(bool next);
    void updateScrollBars();
    // The line at a height of the viewport, or -1.
    qsizetype lineAt(int y) const;
    int visibleLineCount() const;
    void drawRuns(QPainter& painter, qsizetype index, const QColor* pen);
    // The place nearest to a point of the viewport, within the lines held.
    TextPlace placeAt(const QPoint& pos) const;
    // The selection's ends in order, limited to the lines held.
    std::pair<TextPlace, TextPlace> selection() const;
    qsizetype indexOf(qint64 lineNumber) const { return qsizetype(lineNumber - m_dropped); }
    void scrollToPoint(const QPoint& pos);

    PaintThrottle* m_paintThrottle;
    std::deque<Line> m_lines;
    Line m_pending;
    int m_widestLine = 0;
    LinkPlace m_selected;
    // How many lines have gone from the front.
    qint64 m_dropped = 0;
    TextPlace m_anchor;
    TextPlace m_caret;
    bool m_selecting = false;
};

} // namespace tessaro
