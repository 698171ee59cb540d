#pragma once

#include <QString>
#include <QWidget>

namespace tessaro {

// One text panel of the status bar. Its size never follows its text, so a
// text that changes many times a second (a pass's progress) never lays the
// window out again, and a text in another script (a CJK path) neither moves
// the bar nor loses its underscores: the panel is tall enough for a line in the
// fallback fonts such texts are drawn in. A text wider than the panel is
// elided in the middle with "…", which keeps both ends of a path, and the
// whole text is then the panel's tooltip. Leading blanks are not drawn, so
// every text starts at the same margin.
class StatusTextPanel final : public QWidget
{
public:
    explicit StatusTextPanel(QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    // The text as drawn at the panel's present width.
    QString shownText() const;
    // The tooltip: the whole text where less of it is shown, else nothing.
    QString toolTipText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void measureLineHeight();

    QString m_text;
    int m_lineHeight = 0;
};

} // namespace tessaro
