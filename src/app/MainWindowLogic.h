#pragma once

#include "app/ActivityLog.h"
#include "app/ArchiverScan.h"
#include "app/AutoCleanSettings.h"
#include "app/BackupPass.h"
#include "app/ConfigFile.h"
#include "app/Configuration.h"
#include "app/CorePassServices.h"
#include "app/HelpActions.h"
#include "app/LastRuleResults.h"
#include "app/MainView.h"
#include "app/OverdueWatch.h"
#include "app/PassAlerts.h"
#include "app/PassServices.h"
#include "app/PeriodicRunController.h"
#include "app/RuleEditing.h"
#include "app/RunHistory.h"
#include "app/SettingsStore.h"
#include "app/StartupShutdown.h"
#include "app/WindowPlacement.h"
#include "core/Clock.h"
#include "core/PathRules.h"

#include <functional>
#include <memory>

namespace tessaro {

// What the window's logic takes from outside. Empty members mean the real
// thing: the system clock, the archiver run as a process, the real auto
// clean and webhook, the platform's archiver search.
struct MainWindowSeams
{
    const Clock* clock = nullptr;
    // The passes' archiver runs, auto clean and webhook calls.
    PassServices* services = nullptr;
    StartupShutdown::FindArchiver findArchiver;
    PathStyle pathStyle = nativePathStyle();
    // Where the manual lies; the program's folder when empty.
    QString programFolder;
};

// Everything the main window does apart from showing it: one object per
// role, each the owner of its part of the state, wired together. The
// window owns one, forwards its events to it and reads what it shows from
// the owners; it changes nothing but through their operations.
class MainWindowLogic final : public Configuration
{
public:
    explicit MainWindowLogic(MainView& view, const MainWindowSeams& seams = MainWindowSeams());
    Q_DISABLE_COPY_MOVE(MainWindowLogic)

    // Loading and saving gather the owners' parts into the one file.
    QString LoadConfig() override;
    bool SaveConfig() override;
    void UpdateSettings() override;

    // A change of the settings from their controls; the reactions that
    // depend on settings run when asked.
    void changeSettings(const std::function<void(TSettings&)>& edit, bool updateSettings);
    // The window moved or changed size; followed from the first load on.
    void windowMoved(const QRect& frame, bool maximized);
    void windowResized(const QRect& frame, bool maximized);

    SettingsStore& settings() { return m_settings; }
    const SettingsStore& settings() const { return m_settings; }
    // The auto clean section's logic: the limits of one destination folder.
    AutoCleanSettings& autoClean() { return m_autoClean; }
    WindowPlacement& placement() { return m_placement; }
    Configuration& config() { return *this; }
    ConfigFile& configFile() { return m_configFile; }
    const ConfigFile& configFile() const { return m_configFile; }
    ActivityLog& log() { return m_log; }
    const ActivityLog& log() const { return m_log; }
    BackupPass& pass() { return m_pass; }
    PeriodicRunController& periodic() { return m_periodic; }
    StartupShutdown& startup() { return m_startup; }
    ArchiverScan& scan() { return m_scan; }
    RuleEditing& rules() { return m_rules; }
    HelpActions& help() { return m_help; }
    RunHistory& history() { return m_history; }
    LastRuleResults& ruleResults() { return m_ruleResults; }
    PassAlerts& alerts() { return m_alerts; }
    OverdueWatch& overdue() { return m_overdue; }

    // The schedule timer's tick: the overdue check first, so that its warning
    // goes out with a pass that falls due at the same tick.
    void scheduleTick();

    // A write of the configuration file failed since the program started.
    bool saveFailed() const { return m_saveFailed; }
    // What the program returns when it ends: the outcome of the last pass
    // with "Exit program after each Backup once", and errors after any
    // failed save of the configuration.
    int exitStatus() const;

private:
    // Shows the file's configuration: the rules, the settings and the window.
    void showLoaded(const QPoint& windowTopLeft, const ScreenGeometry& screens);
    // Standard error, the window and the exit status learn of a failed save.
    void reportSaveFailure(const QString& text);

    MainView& m_view;
    SystemClock m_systemClock;
    CorePassServices m_coreServices;
    const Clock& m_clock;
    PassServices& m_services;
    SettingsStore m_settings;
    WindowPlacement m_placement;
    ActivityLog m_log;
    ConfigFile m_configFile;
    BackupPass m_pass;
    PeriodicRunController m_periodic;
    StartupShutdown m_startup;
    ArchiverScan m_scan;
    RuleEditing m_rules;
    AutoCleanSettings m_autoClean;
    HelpActions m_help;
    RunHistory m_history;
    LastRuleResults m_ruleResults;
    PassAlerts m_alerts;
    OverdueWatch m_overdue;
    bool m_saveFailed = false;
};

} // namespace tessaro
