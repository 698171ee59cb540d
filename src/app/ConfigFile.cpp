#include "app/ConfigFile.h"

#include "app/ExtraSettings.h"
#include "core/MemIniFile.h"
#include "core/Quoted.h"
#include "core/SystemConventions.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>
#include <type_traits>

namespace tessaro {

namespace {

const QString SettingsSection = QStringLiteral("settings");
const QString ScheduleSection = QStringLiteral("schedule");
const QString WindowSection = QStringLiteral("window");
const QString RuleSectionPrefix = QStringLiteral("backup_rules");

// One key of the file that maps onto a field of the settings record. The
// tables keep the order in which the keys are written, so a file that is
// saved for the first time lists them in the order users know.
struct SettingKey
{
    const char* key;
    void (*read)(const TCustomIniFile& ini, const QString& section, const QString& key,
                 TSettings& settings);
    void (*write)(TCustomIniFile& ini, const QString& section, const QString& key,
                  const TSettings& settings);
};

// A choice is stored as its text. Hand-edited or older files may hold a text
// the window cannot show; it reads as the field's default.
template <typename Choice>
Choice readChoice(const QString& text, Choice fallback)
{
    if constexpr (std::is_same_v<Choice, TArchiveFormat>)
        return ChoiceOfText<Choice>(text, Qt::CaseInsensitive).value_or(fallback);
    // Files written from the radio caption carry the long form of store-only.
    if constexpr (std::is_same_v<Choice, TCompression>) {
        if (text == EntryOf(TCompression::Store).caption)
            return TCompression::Store;
    }
    return ChoiceOfText<Choice>(text).value_or(fallback);
}

template <typename Value>
Value readValue(const TCustomIniFile& ini, const QString& section, const QString& key,
                const Value& fallback)
{
    if constexpr (std::is_same_v<Value, bool>)
        return ini.ReadBool(section, key, fallback);
    else if constexpr (std::is_same_v<Value, int>)
        return ini.ReadInteger(section, key, fallback);
    else if constexpr (std::is_same_v<Value, QString>)
        return ini.ReadString(section, key, fallback);
    else
        return readChoice(ini.ReadString(section, key, ChoiceText(fallback)), fallback);
}

template <typename Value>
void writeValue(TCustomIniFile& ini, const QString& section, const QString& key, const Value& value)
{
    if constexpr (std::is_same_v<Value, bool>)
        ini.WriteBool(section, key, value);
    else if constexpr (std::is_same_v<Value, int>)
        ini.WriteInteger(section, key, value);
    else if constexpr (std::is_same_v<Value, QString>)
        ini.WriteString(section, key, value);
    else
        ini.WriteString(section, key, ChoiceText(value));
}

// The key of a field that Access reaches in the record: Access::of returns
// a reference to it, const for a const record.
template <typename Access>
constexpr SettingKey keyOf(const char* key)
{
    return {key,
            [](const TCustomIniFile& ini, const QString& section, const QString& key,
               TSettings& settings) {
                const TSettings defaults;
                Access::of(settings) = readValue(ini, section, key, Access::of(defaults));
            },
            [](TCustomIniFile& ini, const QString& section, const QString& key,
               const TSettings& settings) {
                writeValue(ini, section, key, Access::of(settings));
            }};
}

template <auto Member>
struct SettingsField
{
    template <typename Settings>
    static auto& of(Settings& settings)
    {
        return settings.*Member;
    }
};

template <auto Member>
struct ScheduleField
{
    template <typename Settings>
    static auto& of(Settings& settings)
    {
        return settings.Schedule.*Member;
    }
};

// A weekday is stored as a flag of its own.
template <int Day>
constexpr SettingKey weekdayKey(const char* key)
{
    return {key,
            [](const TCustomIniFile& ini, const QString& section, const QString& key,
               TSettings& settings) {
                auto days = settings.Schedule.weekdays();
                days[Day] = ini.ReadBool(section, key, true);
                settings.Schedule.setWeekdays(days);
            },
            [](TCustomIniFile& ini, const QString& section, const QString& key,
               const TSettings& settings) {
                ini.WriteBool(section, key, settings.Schedule.weekdays()[Day]);
            }};
}

template <auto Member>
constexpr SettingKey field(const char* key)
{
    return keyOf<SettingsField<Member>>(key);
}

template <auto Member>
constexpr SettingKey scheduleField(const char* key)
{
    return keyOf<ScheduleField<Member>>(key);
}

const SettingKey SettingsSectionKeys[] = {
    field<&TSettings::CallWebHook>("CallWebHook"),
    field<&TSettings::IncludeLogsInWebHookCall>("IncludeLogsInWebHookCall"),
    field<&TSettings::WebHookURL>("WebHookURL"),
    field<&TSettings::MinimizeToTray>("MinimizeToTray"),
    field<&TSettings::ExitAfterBackupOnce>("ExitAfterBackupOnce"),
    field<&TSettings::BackupOnStart>("BackupOnStart"),
    field<&TSettings::WinRARLocation>("WinRARLocation"),
    field<&TSettings::ArchiveFormat>("ArchiveFormat"),
    field<&TSettings::Compression>("Compression"),
    field<&TSettings::UpdateMode>("UpdateMode"),
    field<&TSettings::StorePaths>("StorePaths"),
    field<&TSettings::UseNumThreads>("UseNumThreads"),
    field<&TSettings::NumThreads>("NumThreads"),
    field<&TSettings::UseWinRARLogFile>("UseWinRARLogFile"),
    field<&TSettings::WinRARLogFile>("WinRARLogFile"),
};

const SettingKey ScheduleSectionKeys[] = {
    scheduleField<&TSchedule::StartTimeHour>("StartTimeHour"),
    scheduleField<&TSchedule::StartTimeMinute>("StartTimeMinute"),
    scheduleField<&TSchedule::PeriodHours>("PeriodHours"),
    weekdayKey<0>("Mondays"),
    weekdayKey<1>("Tuesdays"),
    weekdayKey<2>("Wednesdays"),
    weekdayKey<3>("Thursdays"),
    weekdayKey<4>("Fridays"),
    weekdayKey<5>("Saturdays"),
    weekdayKey<6>("Sundays"),
};

template <size_t N>
void readKeys(const TCustomIniFile& ini, const QString& section, const SettingKey (&keys)[N],
              TSettings& settings)
{
    for (const SettingKey& entry : keys)
        entry.read(ini, section, QLatin1String(entry.key), settings);
}

template <size_t N>
void writeKeys(TCustomIniFile& ini, const QString& section, const SettingKey (&keys)[N],
               const TSettings& settings)
{
    for (const SettingKey& entry : keys)
        entry.write(ini, section, QLatin1String(entry.key), settings);
}

// Numbers out of the window's ranges fall back to what the window can show.
void makeUsable(TSettings& settings)
{
    const TSettings defaults;
    settings.NumThreads = std::clamp(settings.NumThreads, 1, 64);
    TSchedule& schedule = settings.Schedule;
    if (schedule.StartTimeHour < 0 || schedule.StartTimeHour > 23)
        schedule.StartTimeHour = defaults.Schedule.StartTimeHour;
    if (schedule.StartTimeMinute < 0 || schedule.StartTimeMinute > 59)
        schedule.StartTimeMinute = defaults.Schedule.StartTimeMinute;
    if (!IsKnownPeriod(schedule.PeriodHours))
        schedule.PeriodHours = defaults.Schedule.PeriodHours;
}

// An unreadable date means "never"; it is not worth a message.
LocalDateTime readDateTime(const TCustomIniFile& ini, const QString& section, const QString& key)
{
    return LocalDateTime::fromIso8601(ini.ReadString(section, key, QString()));
}

// The document as the rule list sees it during a save: the list writes its
// sections and then asks for the file to be written, which the save does
// once at its end, together with everything else. Writing it there as well
// would encode, write and sync the whole file twice.
class SectionsOnly final : public TCustomIniFile
{
public:
    explicit SectionsOnly(TCustomIniFile& ini) : m_ini(ini) {}

    QString ReadString(const QString& section, const QString& key,
                       const QString& defaultValue) const override
    {
        return m_ini.ReadString(section, key, defaultValue);
    }
    void WriteString(const QString& section, const QString& key, const QString& value) override
    {
        m_ini.WriteString(section, key, value);
    }
    void EraseSection(const QString& section) override { m_ini.EraseSection(section); }
    QStringList ReadSection(const QString& section) const override
    {
        return m_ini.ReadSection(section);
    }
    bool SectionExists(const QString& section) const override
    {
        return m_ini.SectionExists(section);
    }
    bool ValueExists(const QString& section, const QString& key) const override
    {
        return m_ini.ValueExists(section, key);
    }
    bool UpdateFile() override { return true; }
    QString errorString() const override { return m_ini.errorString(); }

private:
    TCustomIniFile& m_ini;
};

bool holdsPasswords(const TBackupRules& rules)
{
    for (qsizetype i = 0; i < rules.Count(); ++i) {
        if (!rules.Item(i)->Password.isEmpty())
            return true;
    }
    return false;
}

} // namespace

ConfigFile::ConfigFile(ActivityLog& log) : m_log(log) {}

void ConfigFile::InitConfig()
{
    // NewOnly: a file that appears between the check and the open is kept.
    // The file will hold archive passwords in plain text.
    QFile file(m_fileName);
    if (createPrivateFile(file))
        file.write("[Settings]\r\n");
}

std::optional<StoredConfiguration>
ConfigFile::Read(TBackupRules& rules, const QPoint& defaultTopLeft, QString& errorText)
{
    if (!QFileInfo::exists(m_fileName))
        InitConfig();

    TMemIniFile ini(m_fileName);
    if (!ini.load()) {
        errorText = ini.errorString();
        return std::nullopt;
    }

    // Reading the rules writes the file back. Everything has been read by
    // then, so a file that cannot be written is no reason to refuse to start;
    // the next save reports again if the fault persists.
    if (!rules.FromIniFile(ini, RuleSectionPrefix)) {
        reportFailure(QStringLiteral("could not write configuration file \"") + m_fileName +
                      QStringLiteral("\": ") + ini.errorString());
    }
    reportWriteEffects(ini);

    StoredConfiguration stored;
    stored.firstStart = ini.ReadBool(SettingsSection, QStringLiteral("FirstStart"), true);
    readKeys(ini, SettingsSection, SettingsSectionKeys, stored.settings);
    readKeys(ini, ScheduleSection, ScheduleSectionKeys, stored.settings);
    ReadExtraSettings(ini, stored.settings);
    makeUsable(stored.settings);
    stored.lastScheduleRun = readDateTime(ini, ScheduleSection, QStringLiteral("LastRun"));
    stored.lastBackupTime = readDateTime(ini, SettingsSection, QStringLiteral("LastBackupTime"));
    stored.windowTopLeft =
        QPoint(ini.ReadInteger(WindowSection, QStringLiteral("left"), defaultTopLeft.x()),
               ini.ReadInteger(WindowSection, QStringLiteral("top"), defaultTopLeft.y()));
    stored.periodicRun = ini.ReadString(SettingsSection, QStringLiteral("PeriodicRun"),
                                        QStringLiteral("off")) == QLatin1String("on");
    return stored;
}

bool ConfigFile::Write(const TBackupRules& rules, const StoredConfiguration& stored)
{
    InitConfig();

    // Keys this program does not know survive a save only when the file is
    // read first; a file that cannot be read is therefore left alone.
    TMemIniFile ini(m_fileName);
    if (!ini.load())
        return reportSaveFailure(ini.errorString());
    ini.setHoldsSecrets(holdsPasswords(rules));
    const auto effects = qScopeGuard([this, &ini] { reportWriteEffects(ini); });

    const QRect& pos = stored.windowPos;
    ini.WriteString(WindowSection, QStringLiteral("maximized"),
                    stored.windowMaximized ? QStringLiteral("true") : QStringLiteral("false"));
    ini.WriteInteger(WindowSection, QStringLiteral("left"), pos.x());
    ini.WriteInteger(WindowSection, QStringLiteral("top"), pos.y());
    ini.WriteInteger(WindowSection, QStringLiteral("width"), pos.width());
    ini.WriteInteger(WindowSection, QStringLiteral("height"), pos.height());

    SectionsOnly ruleSections(ini);
    rules.ToIniFile(ruleSections, RuleSectionPrefix);

    ini.WriteBool(SettingsSection, QStringLiteral("FirstStart"), stored.firstStart);
    writeKeys(ini, SettingsSection, SettingsSectionKeys, stored.settings);
    ini.WriteString(SettingsSection, QStringLiteral("PeriodicRun"),
                    stored.periodicRun ? QStringLiteral("on") : QStringLiteral("off"));
    ini.WriteString(SettingsSection, QStringLiteral("LastBackupTime"),
                    stored.lastBackupTime.toIso8601());

    writeKeys(ini, ScheduleSection, ScheduleSectionKeys, stored.settings);
    ini.WriteString(ScheduleSection, QStringLiteral("LastRun"), stored.lastScheduleRun.toIso8601());
    WriteExtraSettings(ini, stored.settings);

    if (!ini.UpdateFile())
        return reportSaveFailure(ini.errorString());
    return true;
}

bool ConfigFile::reportSaveFailure(const QString& reason)
{
    // Saves also happen during unattended scheduled passes, so the fault goes
    // to the log rather than into a message box that would wait for a click.
    reportFailure(QStringLiteral("could not save configuration file \"") + m_fileName +
                  QStringLiteral("\": ") + reason);
    return false;
}

void ConfigFile::reportFailure(const QString& text)
{
    m_log.LogError(text);
    if (m_onFailure)
        m_onFailure(text);
}

void ConfigFile::reportWriteEffects(const TMemIniFile& ini)
{
    if (!ini.keptCopy().isEmpty()) {
        m_log.LogWarn(QStringLiteral("configuration file ") + Quoted(m_fileName) +
                      QStringLiteral(" held text that could not be read; the file as it was is "
                                     "kept as ") +
                      Quoted(ini.keptCopy()));
    } else if (ini.droppedContent()) {
        m_log.LogWarn(QStringLiteral("configuration file ") + Quoted(m_fileName) +
                      QStringLiteral(" held text that could not be read; it is dropped, ") +
                      Quoted(ini.copyName()) + QStringLiteral(" keeps an earlier copy"));
    }
    if (ini.madePrivate()) {
        m_log.LogInfo(QStringLiteral("configuration file ") + Quoted(m_fileName) +
                      QStringLiteral(" holds passwords and was open to other users; it is now "
                                     "readable by its owner only"));
    }
}

} // namespace tessaro
