#include "app/TrayToolTip.h"

#include "app/ProgramInfo.h"

namespace tessaro {

QString TrayToolTipText(const MainWindowState& state)
{
    const QString name = ProgramName() + QLatin1String(": ");
    if (state.IsRunning)
        return name + QLatin1String("backup pass running");
    if (state.PeriodicRunActive && !state.NextScheduleRun.isNever())
        return name + QLatin1String("next backup pass at ") +
               state.NextScheduleRun.format(u"dd.mm.yyyy hh:MM");
    return name + QLatin1String("idle");
}

} // namespace tessaro
