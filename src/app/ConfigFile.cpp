#include "app/ConfigFile.h"

#include "app/ExtraSettings.h"
#include "core/MemIniFile.h"
#include "core/Quoted.h"
#include "core/SystemConventions.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>
#include <limits>
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

// Window placement works with exclusive right and bottom edges, as the
// screen rectangles are measured: right = left + width.
struct Edges
{
    qint64 left;
    qint64 top;
    qint64 right;
    qint64 bottom;

    // Read from the stored corners: QRect's width() is computed in int and
    // overflows for a rectangle far out at the end of the range.
    static Edges of(const QRect& r)
    {
        return {r.left(), r.top(), qint64(r.right()) + 1, qint64(r.bottom()) + 1};
    }
    qint64 width() const { return right - left; }
    qint64 height() const { return bottom - top; }
};

qint64 overlapArea(const Edges& a, const Edges& b)
{
    const qint64 width = std::min(a.right, b.right) - std::max(a.left, b.left);
    const qint64 height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

// Twice the centre, which keeps the differences in whole numbers. Squared
// they may pass 64 bits for a window stored near the ends of the int range,
// so the distance is a floating-point number, exact for any real desktop.
double squaredCentreDistance(const Edges& a, const Edges& b)
{
    const auto dx = double((a.left + a.right) - (b.left + b.right));
    const auto dy = double((a.top + a.bottom) - (b.top + b.bottom));
    return dx * dx + dy * dy;
}

// The display a window rectangle belongs to: the one it covers most, or,
// when it lies on none, the one whose centre is nearest.
Edges nearestDisplay(const Edges& window, const ScreenGeometry& screens)
{
    const QList<QRect> candidates =
        screens.screens.isEmpty() ? QList<QRect>{screens.primary} : screens.screens;
    const Edges* best = nullptr;
    QList<Edges> displays;
    displays.reserve(candidates.size());
    for (const QRect& screen : candidates)
        displays.append(Edges::of(screen));

    qint64 bestArea = 0;
    for (const Edges& display : displays) {
        const qint64 area = overlapArea(window, display);
        if (area > bestArea) {
            bestArea = area;
            best = &display;
        }
    }
    if (best)
        return *best;
    best = &displays.first();
    for (const Edges& display : displays) {
        if (squaredCentreDistance(window, display) < squaredCentreDistance(window, *best))
            best = &display;
    }
    return *best;
}

bool holdsPasswords(const TBackupRules& rules)
{
    for (qsizetype i = 0; i < rules.Count(); ++i) {
        if (!rules.Item(i)->Password.isEmpty())
            return true;
    }
    return false;
}

int toInt(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                  std::numeric_limits<int>::max()));
}

// A rectangle from 64-bit edges. QRect keeps two corners in int and would
// overflow computing the far one from a position near the end of the range;
// that corner is held at the end instead. A top-left within the range,
// which is what gets saved again, stays exactly as given.
QRect rectOf(qint64 left, qint64 top, qint64 width, qint64 height)
{
    return QRect(QPoint(toInt(left), toInt(top)),
                 QPoint(toInt(left + width - 1), toInt(top + height - 1)));
}

// The placement of ConfigFile::PlaceWindow, on 64-bit edges.
QRect placeOnDisplay(Edges r, const ScreenGeometry& screens)
{
    Edges m = nearestDisplay(r, screens);
    const qint64 workAreaBottom = Edges::of(screens.primaryWorkArea).bottom;
    if (workAreaBottom < m.bottom)
        m.bottom = workAreaBottom;

    // A window that starts before the display is cut at its edge; its far
    // edge stays where it was.
    r.left = std::max(r.left, m.left);
    r.top = std::max(r.top, m.top);

    // A window that reaches past the display is moved back onto it whole.
    if (r.right >= m.right) {
        const qint64 shift = r.right - m.right;
        r.left -= shift;
        r.right -= shift;
        r.left = std::max<qint64>(r.left, 0);
    }
    if (r.bottom >= m.bottom) {
        const qint64 shift = r.bottom - m.bottom;
        r.top -= shift;
        r.bottom -= shift;
        r.top = std::max<qint64>(r.top, 0);
    }

    // The window never becomes smaller than its minimum size.
    return rectOf(r.left, r.top, std::max<qint64>(r.width(), ConfigFile::MinimumWidth),
                  std::max<qint64>(r.height(), ConfigFile::MinimumHeight));
}

} // namespace

ConfigFile::ConfigFile(MainWindowState& state, MainView& view, ActivityLog& log)
    : m_state(state), m_view(view), m_log(log)
{}

void ConfigFile::InitConfig()
{
    // NewOnly: a file that appears between the check and the open is kept.
    // The file will hold archive passwords in plain text.
    QFile file(m_state.ConfigFileName);
    if (createPrivateFile(file))
        file.write("[Settings]\r\n");
}

QString ConfigFile::LoadConfig()
{
    if (!QFileInfo::exists(m_state.ConfigFileName))
        InitConfig();

    TMemIniFile ini(m_state.ConfigFileName);
    if (!ini.load()) {
        m_view.showMessage(QStringLiteral("Could not load configuration file (") +
                               ini.errorString() + QStringLiteral(")"),
                           QStringLiteral("Error"), MessageButtons::Ok);
        return {};
    }

    // Reading the rules writes the file back. Everything has been read by
    // then, so a file that cannot be written is no reason to refuse to start;
    // the next save reports again if the fault persists.
    if (!m_state.Rules.FromIniFile(ini, RuleSectionPrefix)) {
        m_log.LogError(QStringLiteral("could not write configuration file \"") +
                       m_state.ConfigFileName + QStringLiteral("\": ") + ini.errorString());
    }
    reportWriteEffects(ini);

    readSettings(ini);
    m_view.refreshRuleList();
    m_view.refreshSettings();
    UpdateSettings();
    placeWindow(ini);
    m_view.processEvents();
    m_state.DelayRunPeriodic = ini.ReadString(SettingsSection, QStringLiteral("PeriodicRun"),
                                              QStringLiteral("off")) == QLatin1String("on");
    return QStringLiteral("ok");
}

void ConfigFile::readSettings(const TMemIniFile& ini)
{
    m_state.FirstStart = ini.ReadBool(SettingsSection, QStringLiteral("FirstStart"), true);
    TSettings settings;
    readKeys(ini, SettingsSection, SettingsSectionKeys, settings);
    readKeys(ini, ScheduleSection, ScheduleSectionKeys, settings);
    ReadExtraSettings(ini, settings);
    makeUsable(settings);
    m_state.Settings = settings;
    m_state.LastScheduleRun = readDateTime(ini, ScheduleSection, QStringLiteral("LastRun"));
    m_state.LastBackupTime = readDateTime(ini, SettingsSection, QStringLiteral("LastBackupTime"));
}

void ConfigFile::placeWindow(const TMemIniFile& ini)
{
    m_view.setMinimumWindowSize(QSize(MinimumWidth, MinimumHeight));
    const ScreenGeometry screens = m_view.screenGeometry();
    const QPoint centred = DefaultWindowPosition(screens);
    const int left = ini.ReadInteger(WindowSection, QStringLiteral("left"), centred.x());
    const int top = ini.ReadInteger(WindowSection, QStringLiteral("top"), centred.y());
    const QSize size = m_view.windowSize();
    m_state.LastPos = rectOf(left, top, size.width(), size.height());
    // Placed from the stored numbers, which LastPos may not hold whole.
    m_view.setWindowGeometry(placeOnDisplay(
        {left, top, qint64(left) + size.width(), qint64(top) + size.height()}, screens));
}

bool ConfigFile::SaveConfig()
{
    InitConfig();

    // Keys this program does not know survive a save only when the file is
    // read first; a file that cannot be read is therefore left alone.
    TMemIniFile ini(m_state.ConfigFileName);
    if (!ini.load())
        return reportSaveFailure(ini.errorString());
    ini.setHoldsSecrets(holdsPasswords(m_state.Rules));
    const auto effects = qScopeGuard([this, &ini] { reportWriteEffects(ini); });

    const QRect& pos = m_state.LastPos;
    ini.WriteString(WindowSection, QStringLiteral("maximized"),
                    m_state.LastMax ? QStringLiteral("true") : QStringLiteral("false"));
    ini.WriteInteger(WindowSection, QStringLiteral("left"), pos.x());
    ini.WriteInteger(WindowSection, QStringLiteral("top"), pos.y());
    ini.WriteInteger(WindowSection, QStringLiteral("width"), pos.width());
    ini.WriteInteger(WindowSection, QStringLiteral("height"), pos.height());

    if (!m_state.Rules.ToIniFile(ini, RuleSectionPrefix))
        return reportSaveFailure(ini.errorString());

    ini.WriteBool(SettingsSection, QStringLiteral("FirstStart"), m_state.FirstStart);
    writeKeys(ini, SettingsSection, SettingsSectionKeys, m_state.Settings);
    ini.WriteString(SettingsSection, QStringLiteral("PeriodicRun"),
                    m_state.PeriodicRunActive ? QStringLiteral("on") : QStringLiteral("off"));
    ini.WriteString(SettingsSection, QStringLiteral("LastBackupTime"),
                    m_state.LastBackupTime.toIso8601());

    writeKeys(ini, ScheduleSection, ScheduleSectionKeys, m_state.Settings);
    ini.WriteString(ScheduleSection, QStringLiteral("LastRun"),
                    m_state.LastScheduleRun.toIso8601());
    WriteExtraSettings(ini, m_state.Settings);

    if (!ini.UpdateFile())
        return reportSaveFailure(ini.errorString());
    return true;
}

bool ConfigFile::reportSaveFailure(const QString& reason)
{
    // Saves also happen during unattended scheduled passes, so the fault goes
    // to the log rather than into a message box that would wait for a click.
    m_log.LogError(QStringLiteral("could not save configuration file \"") + m_state.ConfigFileName +
                   QStringLiteral("\": ") + reason);
    return false;
}

void ConfigFile::reportWriteEffects(const TMemIniFile& ini)
{
    if (!ini.keptCopy().isEmpty()) {
        m_log.LogWarn(QStringLiteral("configuration file ") + Quoted(m_state.ConfigFileName) +
                      QStringLiteral(" held text that could not be read; the file as it was is "
                                     "kept as ") +
                      Quoted(ini.keptCopy()));
    } else if (ini.droppedContent()) {
        m_log.LogWarn(QStringLiteral("configuration file ") + Quoted(m_state.ConfigFileName) +
                      QStringLiteral(" held text that could not be read; it is dropped, ") +
                      Quoted(ini.copyName()) + QStringLiteral(" keeps an earlier copy"));
    }
    if (ini.madePrivate()) {
        m_log.LogInfo(QStringLiteral("configuration file ") + Quoted(m_state.ConfigFileName) +
                      QStringLiteral(" holds passwords and was open to other users; it is now "
                                     "readable by its owner only"));
    }
}

void ConfigFile::UpdateSettings()
{
    const TSettings& settings = m_state.Settings;
    m_view.setControlEnabled(Control::EditWebhook, settings.CallWebHook);
    m_view.setControlEnabled(Control::CheckIncludeLog, settings.CallWebHook);
    m_view.setControlEnabled(Control::SpinNumThreads, settings.UseNumThreads);
    // Weekdays only matter while a period fits within one day, and the
    // schedule in effect cannot change while periodic runs are active.
    m_view.setControlEnabled(Control::CheckWeekdays,
                             !m_state.PeriodicRunActive && settings.Schedule.PeriodHours <= 24);

    // The controls are enabled before the first folder is shown, so that
    // showing a folder with auto clean off can disable its limits again.
    const QStringList folders = m_state.Rules.GetDestinationFolders();
    const bool haveFolders = !folders.isEmpty();
    for (const Control control :
         {Control::CheckAutoClean, Control::RadioNumFiles, Control::RadioDiskUsage,
          Control::SpinNumFiles, Control::SpinDiskUsage, Control::ComboAutoCleanDestinationFolders})
        m_view.setControlEnabled(control, haveFolders);
    m_view.setAutoCleanDestinations(folders);
}

QPoint ConfigFile::DefaultWindowPosition(const ScreenGeometry& screens)
{
    return QPoint((screens.primary.width() - MinimumWidth) / 2,
                  (screens.primary.height() - MinimumHeight) / 2);
}

QRect ConfigFile::PlaceWindow(const QRect& lastPos, const ScreenGeometry& screens)
{
    return placeOnDisplay(Edges::of(lastPos), screens);
}

} // namespace tessaro
