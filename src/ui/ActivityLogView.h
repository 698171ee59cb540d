#pragma once

#include "MainView.h"

#include <QTextBrowser>

namespace tessaro {

// The log view: coloured lines on white with clickable file and folder
// links. A click on a link reports the path it shows.
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

private:
    void insertAtEnd(const QString& text, const QTextCharFormat& format);
};

} // namespace tessaro
