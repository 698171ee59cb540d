#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace tessaro {

// The command-line options the program knows: --version and --help (and -v,
// -h), answered on the terminal before the window system is touched, so they
// work on a machine without a display; and --backup-once, one pass without a
// window. Every other argument is ignored.
//
// arguments: the command line without the program name. Returns the text to
// print, or nothing when the window is to start.
std::optional<QString> CommandLineRequestText(const QStringList& arguments);

// Whether the command line asks for one unattended pass instead of the
// window; --help and --version still come first.
bool IsBackupOnceRequest(const QStringList& arguments);

} // namespace tessaro
