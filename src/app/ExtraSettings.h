#pragma once

#include "app/Settings.h"
#include "core/CustomIniFile.h"

namespace tessaro {

// The settings that came after the classic ones live in a section of their
// own, "extras", holding only what differs from the defaults: a file whose
// owner uses none of them is written exactly as before.
QString ExtraSettingsSection();
// "System", "Light" or "Dark": the appearance as the section stores it.
QString AppearanceName(TAppearance appearance);
void ReadExtraSettings(const TCustomIniFile& ini, TSettings& settings);
void WriteExtraSettings(TCustomIniFile& ini, const TSettings& settings);

} // namespace tessaro
