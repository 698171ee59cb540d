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

namespace {

bool isKnownKey(const QString& key)
{
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
}

} // namespace tessaro
