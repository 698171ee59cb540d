#include "app/MainWindowLogic.h"

#include "core/ArchiverLocation.h"

#include <QCoreApplication>

namespace tessaro {

MainWindowLogic::MainWindowLogic(MainView& view, const MainWindowSeams& seams)
    : state(seams.pathStyle), m_clock(seams.clock ? *seams.clock : m_systemClock),
      m_services(seams.services ? *seams.services : m_coreServices),
      m_log(state, m_clock, &view, seams.pathStyle), m_config(state, view, m_log),
      m_pass(state, view, m_clock, m_log, m_config, m_services),
      m_periodic(state, view, m_clock, m_log, m_config, m_pass),
      m_startup(
          state, view, m_log, m_config, m_pass, m_periodic,
          seams.findArchiver ? seams.findArchiver : [] { return FindWinRAR(true); }),
      m_scan(state, view), m_rules(state, view, m_config),
      m_help(view, m_log,
             seams.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                           : seams.programFolder),
      m_history(state, m_log), m_overdue(state, m_clock, m_log, m_alerts)
{
    for (PassObserver* observer :
         std::initializer_list<PassObserver*>{&m_history, &m_alerts, &m_overdue})
        m_pass.addObserver(observer);
}

void MainWindowLogic::scheduleTick()
{
    m_overdue.tick();
    m_periodic.TimerScheduleTimer();
}

} // namespace tessaro
