#include "app/ExtraSettings.h"

namespace tessaro {

namespace {

struct ExtraKey
{
    const char* key;
    bool TSettings::*member;
};

constexpr ExtraKey extraKeys[] = {
    {"VerifyArchives", &TSettings::VerifyArchives},
    {"WarnWhenOverdue", &TSettings::WarnWhenOverdue},
};

} // namespace

QString ExtraSettingsSection()
{
    return QStringLiteral("extras");
}

void ReadExtraSettings(const TCustomIniFile& ini, TSettings& settings)
{
    const TSettings defaults;
    for (const ExtraKey& entry : extraKeys) {
        settings.*entry.member =
            ini.ReadBool(ExtraSettingsSection(), QLatin1String(entry.key), defaults.*entry.member);
    }
}

void WriteExtraSettings(TCustomIniFile& ini, const TSettings& settings)
{
    const TSettings defaults;
    const QString section = ExtraSettingsSection();
    bool anyChanged = false;
    for (const ExtraKey& entry : extraKeys)
        anyChanged = anyChanged || settings.*entry.member != defaults.*entry.member;
    // Every key of the section is one of these, so a section back at its
    // defaults can go as a whole.
    if (!anyChanged) {
        if (ini.SectionExists(section))
            ini.EraseSection(section);
        return;
    }
    for (const ExtraKey& entry : extraKeys) {
        const QString key = QLatin1String(entry.key);
        // A key once written stays, with its current value, so that turning
        // a setting off is stored too.
        if (settings.*entry.member != defaults.*entry.member || ini.ValueExists(section, key))
            ini.WriteBool(section, key, settings.*entry.member);
    }
}

} // namespace tessaro
