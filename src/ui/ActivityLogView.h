#pragma once

#include "app/MainView.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QList>

#include <deque>
#include <utility>
#include <vector>

namespace tessaro {

// The log view: coloured lines with clickable file and folder links. A
// click on a link reports the path it shows. The colours follow the palette:
// the default colour is the palette's text colour, and warning, error and
// link colours are kept readable on the palette's background, also when the
// palette changes while lines are shown.
//
// The view is one Tab stop. Inside it Ctrl+Down and Ctrl+Up select the next
// and the previous link, and Enter opens the selected one.
//
// A program that runs for weeks logs without end, so the view keeps the
// newest MaxLines lines (the log files keep everything). Lines are stored
// as their text and a few runs, and only the lines in sight are laid out
// and drawn, so a new line costs the same however many came before.
class ActivityLogView final : public QAbstractScrollArea, public LogViewSink
{
    Q_OBJECT

public:
    static constexpr int Height = 146;
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

Q_SIGNALS:
    void linkClicked(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

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

    void appendRun(const QString& text, RgbColor color, bool link);
    QColor shownColor(const Run& run) const;
    QString runText(const Line& line, qsizetype run) const;
    // Selects the link after (or before) the selection, round at the ends.
    void selectLink(bool next);
    void updateScrollBars();
    // The line at a height of the viewport, or -1.
    qsizetype lineAt(int y) const;
    int visibleLineCount() const;

    std::deque<Line> m_lines;
    Line m_pending;
    int m_widestLine = 0;
    LinkPlace m_selected;
};

} // namespace tessaro
