#pragma once

#include "core/LocalDateTime.h"

#include <QString>

namespace tessaro {

// The tray icon's tooltip: the program's state at a glance while the
// window is hidden. A running pass first; then the next planned pass while
// periodic runs are active; otherwise idle.
// A running pass shows its progress when it has one.
QString TrayToolTipText(bool passRunning, bool periodicActive, LocalDateTime nextRun,
                        const QString& passProgress = QString());

} // namespace tessaro
