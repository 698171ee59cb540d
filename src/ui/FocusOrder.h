#pragma once

class QWidget;

namespace tessaro {

// Sets the keyboard focus order of everything below root to the order of
// its layouts: rows top to bottom, within a row left to right, the pages
// of a tab widget after its tab bar. Widgets made out of that order (a
// field made before the label row above it) no longer make Tab jump.
void orderFocusByLayout(QWidget* root);

} // namespace tessaro
