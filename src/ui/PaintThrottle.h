#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

class QWidget;

namespace tessaro {

// Keeps a widget whose content changes many times a second (the log and
// the status bar during a pass of many quick rules) from being painted more
// often than anyone can follow. The first change after a quiet interval is
// painted as usual; the changes that follow within the interval are painted
// together once it ends. Only the painting waits: the widget's own state
// (its lines, texts, scroll range) is always current. Painting is held by
// turning the widget's updates off, and a resize, a move or a show lets it
// go at once, so the widget is never left unpainted where it is drawn anew.
class PaintThrottle final : public QObject
{
public:
    static constexpr std::chrono::milliseconds Interval{100};
    // Milliseconds on a clock that never goes back.
    using Clock = std::function<qint64()>;

    explicit PaintThrottle(QWidget* widget, Clock clock = {});
    Q_DISABLE_COPY_MOVE(PaintThrottle)

    // The widget's content has changed and wants painting.
    void changed();
    bool holding() const { return m_release.isActive(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void release();

    QWidget* m_widget;
    Clock m_clock;
    QTimer m_release;
    // When painting was last let through; below zero before the first time.
    qint64 m_lastPainted = -1;
};

} // namespace tessaro
