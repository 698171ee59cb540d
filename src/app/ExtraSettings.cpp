#include "app/ExtraSettings.h"

#include <algorithm>
#include <iterator>

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

struct AppearanceEntry
{
    TAppearance appearance;
    const char* name;
};

constexpr AppearanceEntry appearances[] = {
    {TAppearance::System, "System"},
    {TAppearance::Light, "Light"},
    {TAppearance::Dark, "Dark"},
};

const QString appearanceKey = QStringLiteral("Appearance");

// An unknown name, a later program's choice for example, is the default.
TAppearance appearanceNamed(const QString& name)
{
    for (const AppearanceEntry& entry : appearances) {
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return entry.appearance;
    }
    return TSettings().Appearance;
}

} // namespace

QString AppearanceName(TAppearance appearance)
{
    for (const AppearanceEntry& entry : appearances) {
        if (entry.appearance == appearance)
            return QLatin1String(entry.name);
    }
    return {};
}

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
    settings.Appearance = appearanceNamed(
        ini.ReadString(ExtraSettingsSection(), appearanceKey, AppearanceName(defaults.Appearance)));
}

namespace {

bool isKnownKey(const QString& key)
{
    if (key.compare(appearanceKey, Qt::CaseInsensitive) == 0)
        return true;
    return std::any_of(std::begin(extraKeys), std::end(extraKeys), [&key](const ExtraKey& entry) {
        return key.compare(QLatin1String(entry.key), Qt::CaseInsensitive) == 0;
    });
}

} // namespace

void WriteExtraSettings(TCustomIniFile& ini, const TSettings& settings)
{
    const TSettings defaults;
    const QString section = ExtraSettingsSection();
    bool anyChanged = false;
    for (const ExtraKey& entry : extraKeys)
        anyChanged = anyChanged || settings.*entry.member != defaults.*entry.member;
    anyChanged = anyChanged || settings.Appearance != defaults.Appearance;
    // A section back at its defaults can go as a whole, unless it holds keys
    // this version does not know (a newer version's, a hand-edited one):
    // those are kept, as in every other section.
    const QStringList keys = ini.ReadSection(section);
    if (!anyChanged && std::all_of(keys.cbegin(), keys.cend(), isKnownKey)) {
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
    if (settings.Appearance != defaults.Appearance || ini.ValueExists(section, appearanceKey))
        ini.WriteString(section, appearanceKey, AppearanceName(settings.Appearance));
}

} // namespace tessaro
