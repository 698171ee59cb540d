#include "app/CorePassServices.h"

#include "core/Autoclean.h"
#include "core/SystemConventions.h"
#include "core/WebHook.h"

#include <QSysInfo>

namespace tessaro {

void CorePassServices::autoCleanFolder(const QString& folder, const QString& extension,
                                       int maxFiles, qint64 maxBytes, const TLogProc& log,
                                       const TAutoCleanContext& context)
{
    AutoCleanFolder(folder, extension, maxFiles, maxBytes, log, context);
}

void CorePassServices::postWebHook(const QString& url, const QString& subject,
                                   const QString& message, const QString& status,
                                   const QString& computerName, WebHookDone done)
{
    PostWebHook(url, subject, message, status, computerName,
                [done = std::move(done)](const WebHookResult& result) {
                    done({result.success, result.errorText});
                });
}

QString CorePassServices::computerName() const
{
    return tessaro::computerName();
}

} // namespace tessaro
