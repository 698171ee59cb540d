#pragma once

#include "MainView.h"

#include <QTextBrowser>

namespace tessaro {

// The log view: coloured lines with clickable file and folder links. A
// click on a link reports the path it shows. The colours follow the
// palette: the default colour is the palette's text colour, and warning,
// error and link colours are kept readable on the palette's background,
// also when the palette changes while lines are shown.
//
// The view is one Tab stop. Inside it Ctrl+Down and Ctrl+Up select the
// next and the previous link, and Enter opens the selected one.
class ActivityLogView final : public QTextBrowser, public LogViewSink
{
    Q_OBJECT

public:
    static constexpr int Height = 146;

    explicit ActivityLogView(QWidget* parent = nullptr);

    void appendText(const QString& text, RgbColor color) override;
    void appendLink(const QString& link) override;
    void endLine() override;

Q_SIGNALS:
    void linkClicked(const QString& path);

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void insertAtEnd(const QString& text, const QTextCharFormat& format);
    // The colour a run is shown in, from the colour the log asked for.
    QColor shownColor(RgbColor wanted) const;
    QColor shownLinkColor() const;
    void recolor();
    // Selects the link after (or before) the selection; false when none.
    bool selectLink(bool next);
};

} // namespace tessaro
