#pragma once

#include "MainView.h"

#include <QAbstractScrollArea>

#include <deque>
#include <vector>

namespace tessaro {

// The log view: coloured lines on white with clickable file and folder
// links. A click on a link reports the path it shows.
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
    // The path of the link at the point of the viewport, or an empty text.
    QString anchorAt(const QPoint& pos) const;

Q_SIGNALS:
    void linkClicked(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

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

    void appendRun(const QString& text, RgbColor color, bool link);
    void updateScrollBars();
    // The line at a height of the viewport, or -1.
    qsizetype lineAt(int y) const;
    int visibleLineCount() const;

    std::deque<Line> m_lines;
    Line m_pending;
    int m_widestLine = 0;
};

} // namespace tessaro
