#pragma once

#include "app/ActivityLog.h"
#include "app/BackupPass.h"
#include "app/ConfigFile.h"
#include "app/Configuration.h"
#include "app/DataFolderLock.h"
#include "app/MainView.h"
#include "app/PeriodicRunController.h"
#include "app/PlatformTexts.h"
#include "app/SettingsStore.h"

#include <functional>
#include <memory>

namespace tessaro {

// Where the program keeps its data, fixed when the window is created.
struct DataPaths
{
    // Where the program may keep its data when that folder is writable, with
    // a trailing separator.
    QString programFolder;
    // The per-user folder with a trailing separator; empty when the platform
    // has none.
    QString perUserFolder;
};

// Takes the program from launch to its running state and back out: data
// folder, first load, the delayed start-up step and the one exit operation.
class StartupShutdown final
{
public:
    using FindArchiver = std::function<QString()>;

    StartupShutdown(SettingsStore& settings, MainView& view, ActivityLog& log,
                    ConfigFile& configFile, Configuration& config, BackupPass& pass,
                    PeriodicRunController& periodic, FindArchiver findArchiver);
    Q_DISABLE_COPY_MOVE(StartupShutdown)

    // The exit status of a program that found its data folder in use.
    static constexpr int DataFolderInUseExitCode = 3;

    // Chooses the data folder, takes it for this program and fixes the paths
    // derived from it, then writes the banner and puts the controls into
    // their first state. When another program holds the folder, it stops
    // right after choosing it and touches nothing there.
    void FormCreate(const DataPaths& paths);
    // The first show loads the configuration; later shows do nothing, and
    // neither does any show when another program holds the data folder.
    void FormShow();
    // Runs once, shortly after the first show; never in a program that does
    // not own its data folder.
    void StartUpTimerTimer();
    // Makes sure the settings name an existing archiver: a missing one is
    // looked for, and a found one is taken and told; when none is found the
    // user is asked what to do. True when the archiver is set.
    bool EnsureArchiver();
    // Saves and ends the program unless a pass runs. Returns whether the
    // program is ending.
    // The program is asked to end from outside: a running pass is stopped
    // and the program ends once it is over; otherwise it saves and ends.
    void TerminationRequested();
    bool ActionExit();

    // Whether a file can be created in the folder.
    static bool CanWriteToFolder(const QString& folder);
    // The per-user data folder of the platform + "Tessaro", with a trailing
    // separator, or empty.
    static QString GetLocalAppDataFolder();
    // The download page of the archiver's maker.
    static QString ArchiverDownloadPage();

    QString dataFolder() const { return m_dataFolder; }
    // The configuration has been loaded at the first show.
    bool isInitialized() const { return m_initialized; }
    // False when another program holds the data folder: this one must end
    // without a pass or a save.
    bool OwnsDataFolder() const;
    // What the user is told when another program holds the data folder.
    QString DataFolderInUseText() const;

private:
    // Asks the user what to do when no archiver was found.
    void askForArchiver();
    void chooseDataFolder(const DataPaths& paths);
    // The window texts naming this platform's archiver.
    const PlatformTexts& texts() const;

    SettingsStore& m_settings;
    MainView& m_view;
    ActivityLog& m_log;
    ConfigFile& m_configFile;
    Configuration& m_config;
    BackupPass& m_pass;
    PeriodicRunController& m_periodic;
    FindArchiver m_findArchiver;
    QString m_dataFolder;
    std::unique_ptr<DataFolderLock> m_dataFolderLock;
    DataFolderLock::Outcome m_lockOutcome = DataFolderLock::Outcome::Unavailable;
    bool m_initialized = false;
};

} // namespace tessaro
