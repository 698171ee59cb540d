#pragma once

#include "app/MainWindowState.h"

#include <QString>

namespace tessaro {

// The tray icon's tooltip: the program's state at a glance while the
// window is hidden. A running pass first; then the next planned pass while
// periodic runs are active; otherwise idle.
QString TrayToolTipText(const MainWindowState& state);

} // namespace tessaro
