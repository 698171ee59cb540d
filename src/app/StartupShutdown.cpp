#include "app/StartupShutdown.h"

#include "app/PlatformTexts.h"
#include "app/ProgramInfo.h"
#include "core/FileSize.h"
#include "core/PathRules.h"
#include "core/Quoted.h"
#include "core/SystemConventions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace tessaro {

namespace {

const QString startCaption = QStringLiteral("Start");

} // namespace

StartupShutdown::StartupShutdown(SettingsStore& settings, MainView& view, ActivityLog& log,
                                 ConfigFile& configFile, Configuration& config, BackupPass& pass,
                                 PeriodicRunController& periodic, FindArchiver findArchiver)
    : m_settings(settings), m_view(view), m_log(log), m_configFile(configFile), m_config(config),
      m_pass(pass), m_periodic(periodic), m_findArchiver(std::move(findArchiver))
{}

bool StartupShutdown::CanWriteToFolder(const QString& folder)
{
    // A stale probe file left by a crash is simply truncated and removed.
    const QString probeName = nativeFolder(folder) + QStringLiteral("_.tmp");
    QFile probe(probeName);
    if (!openRegularFile(probe, QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    probe.close();
    const bool written = probe.error() == QFileDevice::NoError;
    // By name: a file opened from its descriptor no longer knows its name.
    QFile::remove(probeName);
    return written;
}

QString StartupShutdown::GetLocalAppDataFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        return {};
    return nativeFolder(base) + QStringLiteral("Tessaro") + QDir::separator();
}

QString StartupShutdown::ArchiverDownloadPage()
{
    return platformTexts(PathStyle::Windows).downloadPage;
}

const PlatformTexts& StartupShutdown::texts() const
{
    return platformTexts(m_settings.rules().pathStyle());
}

void StartupShutdown::chooseDataFolder(const DataPaths& paths)
{
    if (!paths.programFolder.isEmpty() && CanWriteToFolder(paths.programFolder)) {
        m_dataFolder = nativeFolder(paths.programFolder);
        return;
    }
    // With no per-user folder either, the program still runs from its own
    // folder: saves then fail and are reported, nothing else breaks.
    m_dataFolder = paths.perUserFolder.isEmpty() ? nativeFolder(paths.programFolder)
                                                 : nativeFolder(paths.perUserFolder);
    QDir().mkpath(m_dataFolder);
}

bool StartupShutdown::OwnsDataFolder() const
{
    return m_lockOutcome != DataFolderLock::Outcome::HeldByOther;
}

QString StartupShutdown::DataFolderInUseText() const
{
    const qint64 holder = m_dataFolderLock ? m_dataFolderLock->holderProcessId() : 0;
    const QString process =
        holder > 0 ? QStringLiteral(" (process ") + QString::number(holder) + QLatin1Char(')')
                   : QString();
    return ProgramName() + QStringLiteral(" is already running on the data folder ") +
           Quoted(m_dataFolder) + process +
           QStringLiteral(". This copy ends without a backup and without saving.");
}

void StartupShutdown::FormCreate(const DataPaths& paths)
{
    m_log.clearCapture();
    m_settings.rules().Clear();

    chooseDataFolder(paths);
    // The folder's previous lock goes first, so that choosing the same
    // folder again does not find it held.
    m_dataFolderLock.reset();
    m_dataFolderLock = std::make_unique<DataFolderLock>(m_dataFolder);
    m_lockOutcome = m_dataFolderLock->tryLock();
    if (!OwnsDataFolder())
        return;

    m_configFile.setFileName(m_dataFolder + QStringLiteral("tessaro.ini"));
    m_log.setLogFolder(m_dataFolder + QStringLiteral("log") + QDir::separator());
    QDir().mkpath(m_log.logFolder());
    m_pass.setDefaultErrorLogFile(m_dataFolder + QStringLiteral("winrar_errors.log"));

    m_initialized = false;
    m_view.SetTitleText(ProgramName() + QStringLiteral(" v") + ProgramVersion());
    m_log.LogInfo(ProgramName() + QStringLiteral(" version ") + ProgramVersion());
    m_view.showPage(Page::Backup);
    m_periodic.ActionStop();
    m_pass.setStopControlsEnabled(false);
    m_settings.change([](TSettings& settings) {
        settings.Schedule.setWeekdays({true, true, true, true, true, true, true});
    });
    m_view.refreshSettings();
}

void StartupShutdown::FormShow()
{
    if (m_initialized || !OwnsDataFolder())
        return;
    const QString result = m_config.LoadConfig();
    if (const LocalDateTime last = m_pass.lastBackupTime(); !last.isNever())
        m_log.LogInfo(QStringLiteral("last backup was done at ") +
                      last.format(u"dd.mm.yyyy hh:MM"));
    m_initialized = true;
    if (result == QLatin1String("ok")) {
        m_view.armStartUpTimer();
        return;
    }
    // The load has shown its own message with the reason already.
    m_log.LogFatal(result.isEmpty()
                       ? QStringLiteral("Could not load configuration file ") +
                             Quoted(m_configFile.fileName()) + QStringLiteral(". The program ends.")
                       : result);
    m_view.quit();
}

void StartupShutdown::StartUpTimerTimer()
{
    if (!OwnsDataFolder() || !EnsureArchiver())
        return;
    if (m_periodic.resumesAtStart()) {
        m_periodic.ActionRun(false);
    } else if (m_settings.settings().BackupOnStart) {
        const BackupPass::TriggerScope trigger(m_pass, PassTrigger::StartUp);
        m_pass.BackUpOnceNow([this] { m_view.minimize(); });
    }
}

bool StartupShutdown::EnsureArchiver()
{
    if (IsExistingFile(m_settings.settings().WinRARLocation))
        return true;
    const QString found = m_findArchiver ? m_findArchiver() : QString();
    if (found.isEmpty()) {
        askForArchiver();
        return false;
    }
    m_settings.setWinRARLocation(found);
    m_view.refreshSettings();
    m_view.showMessage(texts().foundInstallation + Quoted(found), startCaption, MessageButtons::Ok);
    return true;
}

void StartupShutdown::askForArchiver()
{
    m_log.LogWarn(texts().notFoundWarning);
    const auto showArchiverPage = [this] {
        m_view.showPage(Page::Archiver);
        m_view.processEvents();
    };
    if (m_view.showMessage(texts().installedQuestion, startCaption, MessageButtons::YesNo) ==
        MessageAnswer::Yes) {
        showArchiverPage();
        const QString remembered = m_settings.settings().WinRARLocation;
        m_settings.setWinRARLocation(QString());
        m_view.refreshSettings();
        const QString chosen = m_view.chooseArchiverFile(remembered);
        m_settings.setWinRARLocation(chosen.isEmpty() ? remembered : chosen);
        m_view.refreshSettings();
        return;
    }
    if (m_view.showMessage(texts().downloadQuestion, startCaption, MessageButtons::YesNo) ==
        MessageAnswer::Yes) {
        // Ending without a word where nothing opens the page would leave
        // the user with no idea where to go.
        if (!m_view.openExternally(texts().downloadPage)) {
            m_view.showMessage(texts().downloadElsewhere + QLatin1Char('\n') + texts().downloadPage,
                               startCaption, MessageButtons::Ok);
        }
        m_view.quit();
        return;
    }
    showArchiverPage();
}

void StartupShutdown::TerminationRequested()
{
    if (m_pass.isRunning()) {
        m_pass.Stop(StopReason::ProgramEnd);
        m_pass.endProgramAfterPass();
        return;
    }
    if (OwnsDataFolder())
        m_config.SaveConfig();
    m_view.quit();
}

bool StartupShutdown::ActionExit()
{
    if (m_pass.isRunning()) {
        m_view.showMessage(QStringLiteral("You cannot exit the program right now because there "
                                          "is a backup process running"),
                           QStringLiteral("Exit"), MessageButtons::Ok);
        return false;
    }
    // Ending without the settings saved would lose them silently, so the
    // user decides. A program that does not own its data folder has nothing
    // of its own to save there.
    if (OwnsDataFolder() && !m_config.SaveConfig() &&
        m_view.showMessage(QStringLiteral("The configuration file could not be saved (see the "
                                          "activity log). Exit anyway?"),
                           QStringLiteral("Exit"), MessageButtons::YesNo) != MessageAnswer::Yes) {
        return false;
    }
    m_settings.rules().Clear();
    m_view.quit();
    return true;
}

} // namespace tessaro
