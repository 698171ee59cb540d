#pragma once

#include <QIcon>
#include <QString>

namespace tessaro {

// The program's own pictures, compiled into the program.

// A navigation button's picture with its greyed form for the disabled state.
// name: "settings", "run", "stop" or "runonce".
QIcon navigationIcon(const QString& name);
// The program's icon: window, task bar and tray.
QIcon programIcon();
// The small picture that opens the current log file.
QIcon logFileIcon();

} // namespace tessaro
