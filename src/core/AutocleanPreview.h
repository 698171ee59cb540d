#pragma once

#include "core/Autoclean.h"

#include <vector>

namespace tessaro {

// The archives auto clean would delete in the folder with these limits, in
// the order it would delete them (oldest first). It runs the very same auto
// clean with a deletion that only takes note, so the answer cannot drift
// from what a pass does, and nothing is deleted.
//
// newArchives: how many archives the next pass adds to the folder. They are
// the newest and stay, so they take that many places of a file-count limit.
std::vector<TFileEntry> PreviewAutoCleanFolder(const QString& folder, const QString& extension,
                                               int maxFiles, qint64 maxBytes, int newArchives = 0);

} // namespace tessaro
