#pragma once

#include "app/ActivityLog.h"
#include "app/ArchiverScan.h"
#include "app/BackupPass.h"
#include "app/ConfigFile.h"
#include "app/CorePassServices.h"
#include "app/HelpActions.h"
#include "app/MainView.h"
#include "app/MainWindowState.h"
#include "app/OverdueWatch.h"
#include "app/PassAlerts.h"
#include "app/PeriodicRunController.h"
#include "app/RuleEditing.h"
#include "app/RunHistory.h"
#include "app/StartupShutdown.h"
#include "core/Clock.h"

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

// Everything the main window does apart from showing it: the state and one
// object per role, wired together. The window owns one and forwards its
// events to it.
class MainWindowLogic final
{
public:
    explicit MainWindowLogic(MainView& view, const MainWindowSeams& seams = MainWindowSeams());
    Q_DISABLE_COPY_MOVE(MainWindowLogic)

    MainWindowState state;
    ActivityLog& log() { return m_log; }
    ConfigFile& config() { return m_config; }
    BackupPass& pass() { return m_pass; }
    PeriodicRunController& periodic() { return m_periodic; }
    StartupShutdown& startup() { return m_startup; }
    ArchiverScan& scan() { return m_scan; }
    RuleEditing& rules() { return m_rules; }
    HelpActions& help() { return m_help; }
    RunHistory& history() { return m_history; }
    PassAlerts& alerts() { return m_alerts; }
    OverdueWatch& overdue() { return m_overdue; }

    // The schedule timer's tick: the overdue check first, so that its warning
    // goes out with a pass that falls due at the same tick.
    void scheduleTick();

private:
    SystemClock m_systemClock;
    CorePassServices m_coreServices;
    const Clock& m_clock;
    PassServices& m_services;
    ActivityLog m_log;
    ConfigFile m_config;
    BackupPass m_pass;
    PeriodicRunController m_periodic;
    StartupShutdown m_startup;
    ArchiverScan m_scan;
    RuleEditing m_rules;
    HelpActions m_help;
    RunHistory m_history;
    PassAlerts m_alerts;
    OverdueWatch m_overdue;
};

} // namespace tessaro
