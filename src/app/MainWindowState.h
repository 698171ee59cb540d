#pragma once

#include "app/Settings.h"
#include "core/BackupRule.h"
#include "core/LocalDateTime.h"
#include "core/PathRules.h"

#include <QRect>
#include <QString>
#include <QStringList>

namespace tessaro {

// The program's exit status after "Exit program after each Backup once".
inline constexpr int ExitStatusOk = 0;
inline constexpr int ExitStatusErrors = 1;

// The main window's state that the logic shares: what runs, the rules, the
// settings record, the paths and the remembered times. The window owns it
// from start to exit.
struct MainWindowState
{
    explicit MainWindowState(PathStyle style = nativePathStyle()) : Rules(style) {}
    Q_DISABLE_COPY_MOVE(MainWindowState)

    // A backup pass runs.
    bool IsRunning = false;
    // The configuration has been loaded at the first show.
    bool IsInitialized = false;
    // Periodic runs were on at the last save; start-up resumes them.
    bool DelayRunPeriodic = false;
    bool PeriodicRunActive = false;
    // Stored and written back; nothing else depends on it.
    bool FirstStart = true;

    TBackupRules Rules;
    TSettings Settings;

    // Every log line since the last pass cleared it.
    QStringList LogCapture;
    // Lines logged between passes that the next pass's capture starts with.
    QStringList CarriedLogLines;
    // What the program returns when it ends.
    int ExitStatus = ExitStatusOk;
    // The log folder, with a trailing separator.
    QString LogPath;
    QString ConfigFileName;

    LocalDateTime LastBackupTime;
    LocalDateTime LastScheduleRun;
    LocalDateTime NextScheduleRun;

    // Window position and size as last placed or moved, and whether it was
    // maximized.
    QRect LastPos;
    bool LastMax = false;
};

} // namespace tessaro
