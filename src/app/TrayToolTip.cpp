#include "app/TrayToolTip.h"

#include "app/ProgramInfo.h"

namespace tessaro {

QString TrayToolTipText(bool passRunning, bool periodicActive, LocalDateTime nextRun,
                        const QString& passProgress)
{
    const QString name = ProgramName() + QLatin1String(": ");
    if (passRunning)
        return name +
               (passProgress.isEmpty() ? QLatin1String("backup pass running") : passProgress);
    if (periodicActive && !nextRun.isNever())
        return name + QLatin1String("next backup pass at ") + nextRun.format(u"dd.mm.yyyy hh:MM");
    return name + QLatin1String("idle");
}

} // namespace tessaro
