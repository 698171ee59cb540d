#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace tessaro {

// Every user setting, one field per configuration key, with the value a
// missing or unusable key reads as.
struct TSettings
{
    // Settings page.
    bool CallWebHook = false;
    bool IncludeLogsInWebHookCall = false;
    QString WebHookURL;
    bool MinimizeToTray = false;
    bool ExitAfterBackupOnce = false;
    bool BackupOnStart = false;
    // Archiver page.
    QString WinRARLocation;
    QString ArchiveFormat = QStringLiteral("RAR");
    QString Compression = QStringLiteral("Normal");
    bool UpdateMode = false;
    QString StorePaths = QStringLiteral("Full paths");
    bool UseNumThreads = false;
    int NumThreads = 2;
    bool UseWinRARLogFile = false;
    QString WinRARLogFile;
    // Schedule page.
    int StartTimeHour = 12;
    int StartTimeMinute = 0;
    int PeriodHours = 4;
    bool Mondays = true;
    bool Tuesdays = true;
    bool Wednesdays = true;
    bool Thursdays = true;
    bool Fridays = true;
    bool Saturdays = true;
    bool Sundays = true;
    // Extras: off unless the user turns them on.
    // Test every archive a pass made with the archiver's test command.
    bool VerifyArchives = false;
    // Warn when periodic runs have not ended a pass without errors for one
    // and a half periods.
    bool WarnWhenOverdue = false;

    // The weekday flags, Monday first.
    std::array<bool, 7> weekdays() const;
    void setWeekdays(const std::array<bool, 7>& days);

    friend bool operator==(const TSettings&, const TSettings&) = default;
};

// One choice of "Repeat every:".
struct PeriodChoice
{
    int hours;
    const char* item;
};

// The twelve periods in list order.
const std::array<PeriodChoice, 12>& PeriodChoices();
// The list item of a period, or an empty text for an unknown one.
QString PeriodItemText(int hours);
// The period of a list item by exact comparison, or 4 for an unknown one.
int PeriodHoursOfItem(const QString& item);
bool IsKnownPeriod(int hours);

// The items of "Archive format:", "Compression:" and "Store paths:" as the
// settings store them.
QStringList ArchiveFormatValues();
QStringList CompressionValues();
QStringList StorePathsValues();

} // namespace tessaro
