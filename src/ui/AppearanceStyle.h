#pragma once

#include "app/Settings.h"

#include <QPalette>

namespace tessaro {

// The look of the whole program. System keeps the style and palette the
// program started with; Light and Dark use the Fusion style with a light or
// a dark palette, for desktops whose dark scheme Qt does not follow.
void applyAppearance(TAppearance appearance);

// The dark palette: light text on dark grey, with link and highlight
// colours that read on it.
QPalette darkPalette();

} // namespace tessaro
