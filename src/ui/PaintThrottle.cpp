#include "ui/PaintThrottle.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>

namespace tessaro {

namespace {

qint64 monotonicMs()
{
    static const QElapsedTimer started = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return started.elapsed();
}

} // namespace

PaintThrottle::PaintThrottle(QWidget* widget, Clock clock)
    : QObject(widget), m_widget(widget), m_clock(clock ? std::move(clock) : Clock(monotonicMs))
{
    m_release.setSingleShot(true);
    connect(&m_release, &QTimer::timeout, this, &PaintThrottle::release);
    widget->installEventFilter(this);
}

void PaintThrottle::changed()
{
    if (holding())
        return;
    const qint64 now = m_clock();
    const qint64 interval = Interval.count();
    if (m_lastPainted < 0 || now - m_lastPainted >= interval) {
        m_lastPainted = now;
        return;
    }
    m_widget->setUpdatesEnabled(false);
    m_release.start(int(interval - (now - m_lastPainted)));
}

void PaintThrottle::release()
{
    m_release.stop();
    m_lastPainted = m_clock();
    // Turning updates on again paints the whole widget once.
    m_widget->setUpdatesEnabled(true);
}

bool PaintThrottle::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::Move:
    case QEvent::Show:
        if (holding())
            release();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tessaro
