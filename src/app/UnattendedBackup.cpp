#include "app/UnattendedBackup.h"

#include <QCoreApplication>
#include <QTimer>

namespace tessaro {

UnattendedBackup::UnattendedBackup(std::FILE* lines, std::FILE* errors, const DataPaths& paths,
                                   const MainWindowSeams& seams)
    : m_errors(errors), m_paths(paths), m_view(lines), m_logic(m_view, seams)
{
    m_view.setLog(&m_logic.log());
    m_logic.pass().addObserver(this);
}

int UnattendedBackup::exec()
{
    if (const std::optional<int> refused = startPass())
        return *refused;
    // The pass goes on from the event loop and ends it through finish().
    return QCoreApplication::exec();
}

std::optional<int> UnattendedBackup::startPass()
{
    StartupShutdown& startup = m_logic.startup();
    startup.FormCreate(m_paths);
    if (!startup.OwnsDataFolder()) {
        std::fprintf(m_errors, "%s\n", startup.DataFolderInUseText().toLocal8Bit().constData());
        return StartupShutdown::DataFolderInUseExitCode;
    }
    startup.FormShow();
    if (!m_view.startUpArmed() || m_view.quitAsked() || !startup.EnsureArchiver())
        return ExitStatusNoPass;
    const BackupPass::TriggerScope trigger(m_logic.pass(), PassTrigger::StartUp);
    if (!m_logic.pass().RunBackup())
        return ExitStatusNoPass;
    return std::nullopt;
}

void UnattendedBackup::passEnded(const PassRecord& record)
{
    m_passErrors = record.errors();
    // The pass still unwinds when it tells its end; the rest waits for the
    // event loop, which may not even run yet.
    QTimer::singleShot(0, QCoreApplication::instance(), [this] { finish(); });
}

void UnattendedBackup::finish()
{
    m_logic.SaveConfig();
    m_logic.settings().rules().Clear();
    QCoreApplication::exit(m_passErrors == 0 && !m_logic.saveFailed() ? ExitStatusOk
                                                                      : ExitStatusErrors);
}

} // namespace tessaro
