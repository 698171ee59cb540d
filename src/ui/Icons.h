#pragma once

#include "app/PassAlerts.h"

#include <QIcon>
#include <QString>

namespace tessaro {

// The program's own pictures, compiled into the program.

// A navigation button's picture with its greyed form for the disabled state.
// name: "settings", "run", "stop" or "runonce".
QIcon navigationIcon(const QString& name);
// The program's icon: window, task bar and tray.
QIcon programIcon();
// The tray's picture of a state: the program's icon, with a blue mark while
// a pass runs and a red one after a failed pass.
QIcon trayStateIcon(TrayState state);
// The small picture that opens the current log file.
QIcon logFileIcon();
// The mark of a rule whose last run failed: a white cross on red, which
// reads on light and dark backgrounds alike.
QIcon failedRuleIcon();

} // namespace tessaro
