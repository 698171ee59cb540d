#include "app/MainWindowLogic.h"

#include "app/AutoCleanSettings.h"
#include "core/ArchiverLocation.h"

#include <QCoreApplication>

#include <cstdio>

namespace tessaro {

MainWindowLogic::MainWindowLogic(MainView& view, const MainWindowSeams& seams)
    : m_view(view), m_clock(seams.clock ? *seams.clock : m_systemClock),
      m_services(seams.services ? *seams.services : m_coreServices), m_settings(seams.pathStyle),
      m_log(m_clock, &view, seams.pathStyle), m_configFile(m_log),
      m_pass(m_settings, view, m_clock, m_log, *this, m_services),
      m_periodic(m_settings, view, m_clock, m_log, *this, m_pass),
      m_startup(
          m_settings, view, m_log, m_configFile, *this, m_pass, m_periodic,
          seams.findArchiver ? seams.findArchiver : [] { return FindWinRAR(true); }),
      m_scan(m_settings, view), m_rules(m_settings, m_pass, view, *this),
      m_autoClean(m_settings.rules()),
      m_help(view, m_log,
             seams.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                           : seams.programFolder),
      m_history(m_configFile, m_log), m_ruleResults(seams.pathStyle),
      m_overdue(m_settings, m_periodic, m_pass, m_clock, m_log, m_alerts)
{
    for (PassObserver* observer :
         std::initializer_list<PassObserver*>{&m_history, &m_ruleResults, &m_alerts, &m_overdue})
        m_pass.addObserver(observer);
    m_configFile.setFailureHandler([this](const QString& text) { reportSaveFailure(text); });
}

void MainWindowLogic::reportSaveFailure(const QString& text)
{
    m_saveFailed = true;
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
    m_view.tellSaveFailed(text);
}

int MainWindowLogic::exitStatus() const
{
    return m_saveFailed ? ExitStatusErrors : m_pass.exitStatus();
}

QString MainWindowLogic::LoadConfig()
{
    const ScreenGeometry screens = m_view.screenGeometry();
    QString errorText;
    const std::optional<StoredConfiguration> stored = m_configFile.Read(
        m_settings.rules(), WindowPlacement::DefaultWindowPosition(screens), errorText);
    if (!stored) {
        m_view.showMessage(QStringLiteral("Could not load configuration file (") + errorText +
                               QStringLiteral(")"),
                           QStringLiteral("Error"), MessageButtons::Ok);
        return {};
    }
    m_settings.load(stored->settings, stored->firstStart);
    m_pass.restoreLastBackupTime(stored->lastBackupTime);
    m_periodic.restoreLastRun(stored->lastScheduleRun);
    m_periodic.setResumesAtStart(stored->periodicRun);
    showLoaded(stored->windowTopLeft, screens);
    return QStringLiteral("ok");
}

void MainWindowLogic::showLoaded(const QPoint& windowTopLeft, const ScreenGeometry& screens)
{
    // The rule list marks the rules that failed when the program last ran.
    m_ruleResults.takeFrom(m_history.lastPasses(1));
    m_view.refreshRuleList();
    m_view.refreshSettings();
    UpdateSettings();
    m_view.setMinimumWindowSize(
        QSize(WindowPlacement::MinimumWidth, WindowPlacement::MinimumHeight));
    m_view.setWindowGeometry(m_placement.restore(windowTopLeft, m_view.windowSize(), screens));
    m_view.processEvents();
}

bool MainWindowLogic::SaveConfig()
{
    StoredConfiguration stored;
    stored.settings = m_settings.settings();
    stored.firstStart = m_settings.firstStart();
    stored.periodicRun = m_periodic.isActive();
    stored.lastBackupTime = m_pass.lastBackupTime();
    stored.lastScheduleRun = m_periodic.lastRun();
    stored.windowPos = m_placement.lastPos();
    stored.windowMaximized = m_placement.lastMax();
    return m_configFile.Write(m_settings.rules(), stored);
}

void MainWindowLogic::UpdateSettings()
{
    const TSettings& settings = m_settings.settings();
    m_view.setControlEnabled(Control::EditWebhook, settings.CallWebHook);
    m_view.setControlEnabled(Control::CheckIncludeLog, settings.CallWebHook);
    m_view.setControlEnabled(Control::SpinNumThreads, settings.UseNumThreads);
    m_periodic.showWeekdaysEnabled();
    ShowAutoCleanDestinations(m_view, m_settings.rules());
}

void MainWindowLogic::changeSettings(const std::function<void(TSettings&)>& edit,
                                     bool updateSettings)
{
    m_settings.change(edit);
    if (updateSettings)
        UpdateSettings();
}

void MainWindowLogic::windowMoved(const QRect& frame, bool maximized)
{
    if (m_startup.isInitialized())
        m_placement.moved(frame, maximized);
}

void MainWindowLogic::windowResized(const QRect& frame, bool maximized)
{
    if (m_startup.isInitialized())
        m_placement.resized(frame, maximized);
}

void MainWindowLogic::scheduleTick()
{
    m_overdue.tick();
    m_periodic.TimerScheduleTimer();
    // The progress counts the minutes of the running rule; idle, it is empty.
    if (m_pass.isRunning())
        m_pass.refreshProgress();
}

} // namespace tessaro
