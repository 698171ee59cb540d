#pragma once

#include <QColor>

namespace tessaro {

// Colours that stay readable on whatever background the palette gives:
// light, dark or high contrast.

// The WCAG contrast ratio of two colours, from 1 (equal) to 21 (black on
// white).
double contrastRatio(const QColor& first, const QColor& second);

// The wanted colour when it stands out enough from the background (a ratio
// of 3); otherwise the same hue made lighter on a dark background or darker
// on a light one until it reaches the ratio for normal text, 4.5.
QColor readableOn(const QColor& wanted, const QColor& background);

} // namespace tessaro
