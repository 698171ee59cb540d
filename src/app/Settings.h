#pragma once

#include "core/ArchiverChoices.h"
#include "core/Schedule.h"

#include <QString>

#include <array>

namespace tessaro {

// Every user setting, one field per configuration key, with the value a
// missing or unusable key reads as.
// How the window looks: as the desktop's style paints it, or in light or
// dark colours whatever the desktop says.
enum class TAppearance
{
    System,
    Light,
    Dark,
};

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
    TArchiveFormat ArchiveFormat = TArchiveFormat::Rar;
    TCompression Compression = TCompression::Normal;
    bool UpdateMode = false;
    TStorePaths StorePaths = TStorePaths::Full;
    bool UseNumThreads = false;
    int NumThreads = 2;
    bool UseWinRARLogFile = false;
    QString WinRARLogFile;
    // Schedule page: the schedule periodic runs follow.
    TSchedule Schedule;
    // Extras: off unless the user turns them on.
    // Test every archive a pass made with the archiver's test command.
    bool VerifyArchives = false;
    // Warn when periodic runs have not ended a pass without errors for one
    // and a half periods.
    bool WarnWhenOverdue = false;
    TAppearance Appearance = TAppearance::System;

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

} // namespace tessaro
