#include "app/WindowPlacement.h"

#include <QList>

#include <algorithm>
#include <limits>

namespace tessaro {

namespace {

// Window placement works with exclusive right and bottom edges, as the
// screen rectangles are measured: right = left + width.
struct Edges
{
    qint64 left;
    qint64 top;
    qint64 right;
    qint64 bottom;

    // Read from the stored corners: QRect's width() is computed in int and
    // overflows for a rectangle far out at the end of the range.
    static Edges of(const QRect& r)
    {
        return {r.left(), r.top(), qint64(r.right()) + 1, qint64(r.bottom()) + 1};
    }
    qint64 width() const { return right - left; }
    qint64 height() const { return bottom - top; }
};

qint64 overlapArea(const Edges& a, const Edges& b)
{
    const qint64 width = std::min(a.right, b.right) - std::max(a.left, b.left);
    const qint64 height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

// Twice the centre, which keeps the differences in whole numbers. Squared
// they may pass 64 bits for a window stored near the ends of the int range,
// so the distance is a floating-point number, exact for any real desktop.
double squaredCentreDistance(const Edges& a, const Edges& b)
{
    const auto dx = double((a.left + a.right) - (b.left + b.right));
    const auto dy = double((a.top + a.bottom) - (b.top + b.bottom));
    return dx * dx + dy * dy;
}

// The display a window rectangle belongs to: the one it covers most, or,
// when it lies on none, the one whose centre is nearest.
Edges nearestDisplay(const Edges& window, const ScreenGeometry& screens)
{
    const QList<QRect> candidates =
        screens.screens.isEmpty() ? QList<QRect>{screens.primary} : screens.screens;
    const Edges* best = nullptr;
    QList<Edges> displays;
    displays.reserve(candidates.size());
    for (const QRect& screen : candidates)
        displays.append(Edges::of(screen));

    qint64 bestArea = 0;
    for (const Edges& display : displays) {
        const qint64 area = overlapArea(window, display);
        if (area > bestArea) {
            bestArea = area;
            best = &display;
        }
    }
    if (best)
        return *best;
    best = &displays.first();
    for (const Edges& display : displays) {
        if (squaredCentreDistance(window, display) < squaredCentreDistance(window, *best))
            best = &display;
    }
    return *best;
}

int toInt(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                  std::numeric_limits<int>::max()));
}

// A rectangle from 64-bit edges. QRect keeps two corners in int and would
// overflow computing the far one from a position near the end of the range;
// that corner is held at the end instead. A top-left within the range,
// which is what gets saved again, stays exactly as given.
QRect rectOf(qint64 left, qint64 top, qint64 width, qint64 height)
{
    return QRect(QPoint(toInt(left), toInt(top)),
                 QPoint(toInt(left + width - 1), toInt(top + height - 1)));
}

// The placement of WindowPlacement::PlaceWindow, on 64-bit edges.
QRect placeOnDisplay(Edges r, const ScreenGeometry& screens)
{
    Edges m = nearestDisplay(r, screens);
    const qint64 workAreaBottom = Edges::of(screens.primaryWorkArea).bottom;
    if (workAreaBottom < m.bottom)
        m.bottom = workAreaBottom;

    // A window that starts before the display is cut at its edge; its far
    // edge stays where it was.
    r.left = std::max(r.left, m.left);
    r.top = std::max(r.top, m.top);

    // The window never becomes smaller than its minimum size, nor larger
    // than the display's work area: on a small screen the whole window,
    // title bar and status bar, stays reachable.
    r.right =
        r.left + std::min(std::max<qint64>(r.width(), WindowPlacement::MinimumWidth), m.width());
    r.bottom =
        r.top + std::min(std::max<qint64>(r.height(), WindowPlacement::MinimumHeight), m.height());

    // A window that reaches past the display is moved back onto it whole.
    if (r.right >= m.right) {
        const qint64 shift = r.right - m.right;
        r.left = std::max(r.left - shift, m.left);
        r.right -= shift;
    }
    if (r.bottom >= m.bottom) {
        const qint64 shift = r.bottom - m.bottom;
        r.top = std::max(r.top - shift, m.top);
        r.bottom -= shift;
    }
    return rectOf(r.left, r.top, r.width(), r.height());
}

} // namespace

void WindowPlacement::moved(const QRect& frame, bool maximized)
{
    if (!maximized)
        m_lastPos = frame;
}

void WindowPlacement::resized(const QRect& frame, bool maximized)
{
    if (maximized) {
        m_lastMax = true;
        return;
    }
    m_lastPos = frame;
    m_lastMax = false;
}

QRect WindowPlacement::restore(const QPoint& topLeft, const QSize& size,
                               const ScreenGeometry& screens)
{
    const qint64 left = topLeft.x();
    const qint64 top = topLeft.y();
    m_lastPos = rectOf(left, top, size.width(), size.height());
    // Placed from the stored numbers, which m_lastPos may not hold whole.
    return placeOnDisplay({left, top, left + size.width(), top + size.height()}, screens);
}

QPoint WindowPlacement::DefaultWindowPosition(const ScreenGeometry& screens)
{
    return QPoint((screens.primary.width() - MinimumWidth) / 2,
                  (screens.primary.height() - MinimumHeight) / 2);
}

QSize WindowPlacement::FittedSize(const QSize& described, const QSize& frame, const QRect& workArea)
{
    return described.boundedTo(workArea.size() - frame).expandedTo(QSize(1, 1));
}

QRect WindowPlacement::PlaceWindow(const QRect& lastPos, const ScreenGeometry& screens)
{
    return placeOnDisplay(Edges::of(lastPos), screens);
}

} // namespace tessaro
