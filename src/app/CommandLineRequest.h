#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace tessaro {

// The only command-line options the program knows: --version and --help
// (and -v, -h). Both are answered on the terminal before the window system
// is touched, so they work on a machine without a display. Every other
// argument is ignored, as the program reads none.
//
// arguments: the command line without the program name. Returns the text to
// print, or nothing when the window is to start.
std::optional<QString> CommandLineRequestText(const QStringList& arguments);

} // namespace tessaro
