#pragma once

#include "app/MainWindowLogic.h"
#include "app/PassRecord.h"
#include "app/StartupShutdown.h"
#include "app/UnattendedView.h"

#include <cstdio>

namespace tessaro {

// "tessaro --backup-once": one backup pass on the user's configuration with
// no window and nobody to ask, for a task scheduler or a service manager.
// It takes the same road as the window (start-up, load, archiver check, the
// pass) with an unattended view, prints the log lines to a stream as they
// come, and tells the outcome by its exit status.
class UnattendedBackup final : public PassObserver
{
public:
    // No pass could start: no rules, no archiver, the configuration could
    // not be read.
    static constexpr int ExitStatusNoPass = 2;

    UnattendedBackup(std::FILE* lines, std::FILE* errors, const DataPaths& paths,
                     const MainWindowSeams& seams = MainWindowSeams());
    Q_DISABLE_COPY_MOVE(UnattendedBackup)

    // Runs the pass to its end, turning the event loop while it runs, and
    // returns the exit status: ExitStatusOk, ExitStatusErrors (a rule failed
    // or the configuration could not be saved), ExitStatusNoPass, or
    // StartupShutdown::DataFolderInUseExitCode.
    int exec();

    void passStarted(PassTrigger) override {}
    void passEnded(const PassRecord& record) override;

private:
    // Starts the pass; the exit status when none could start.
    std::optional<int> startPass();
    // After the pass: the last save, then the end of the event loop.
    void finish();

    std::FILE* m_errors;
    DataPaths m_paths;
    UnattendedView m_view;
    MainWindowLogic m_logic;
    int m_passErrors = 0;
};

} // namespace tessaro
