#pragma once

#include <QFont>

namespace tessaro {

// The main window's font: Tahoma at 11 pixels.
QFont windowFont();
// The font of the tab pages: Tahoma at 12 pixels.
QFont pageFont();
// The log view's font: Consolas at 12 pixels, or the nearest monospaced
// font where Consolas is not installed.
QFont logViewFont();

} // namespace tessaro
