#pragma once

#include "app/Settings.h"
#include "core/Autoclean.h"
#include "core/BackupRule.h"

#include <vector>

namespace tessaro {

// The archives the next pass's auto clean would delete in one destination
// folder, with the limits the rules hold now, oldest first. Empty when the
// folder has no rule or no limit. Nothing is deleted.
std::vector<TFileEntry> PreviewAutoClean(const TBackupRules& rules, const TSettings& settings,
                                         const QString& folder);

} // namespace tessaro
