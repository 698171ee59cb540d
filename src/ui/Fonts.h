#pragma once

#include <QFont>

namespace tessaro {

// The log view's font: Consolas at 12 pixels, or the nearest monospaced
// font where Consolas is not installed.
QFont logViewFont();

} // namespace tessaro
