#pragma once

#include "app/MainView.h"

#include <QPoint>
#include <QRect>
#include <QSize>

namespace tessaro {

// Where the main window is and whether it was left maximized: followed while
// the window moves, stored in the configuration file, and restored from it
// onto a display that exists now.
class WindowPlacement final
{
public:
    static constexpr int MinimumWidth = 620;
    static constexpr int MinimumHeight = 658;

    WindowPlacement() = default;
    Q_DISABLE_COPY_MOVE(WindowPlacement)

    // Position and size as last placed or moved in the normal state.
    const QRect& lastPos() const { return m_lastPos; }
    bool lastMax() const { return m_lastMax; }

    // The window moved; a maximized window keeps its normal place.
    void moved(const QRect& frame, bool maximized);
    // The window was resized, maximized or restored.
    void resized(const QRect& frame, bool maximized);
    // The stored top-left corner with the window's current size, placed on
    // the display nearest to it: returns where the window goes.
    QRect restore(const QPoint& topLeft, const QSize& size, const ScreenGeometry& screens);

    // Where a window goes: the given place pulled onto the display nearest
    // to it.
    static QRect PlaceWindow(const QRect& lastPos, const ScreenGeometry& screens);
    // The window's size without its frame: the described size where it
    // fits into the work area with the frame, otherwise as much as fits.
    static QSize FittedSize(const QSize& described, const QSize& frame, const QRect& workArea);
    // The centred default position for the minimum window size.
    static QPoint DefaultWindowPosition(const ScreenGeometry& screens);

private:
    QRect m_lastPos;
    bool m_lastMax = false;
};

} // namespace tessaro
