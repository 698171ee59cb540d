#pragma once

#include "app/PassServices.h"

namespace tessaro {

// The pass's follow-up work done by the real units: auto clean deletes
// archives, the webhook sends its request.
class CorePassServices final : public PassServices
{
public:
    void autoCleanFolder(const QString& folder, const QString& extension, int maxFiles,
                         qint64 maxBytes, const TLogProc& log,
                         const TAutoCleanContext& context) override;
    WebHookOutcome postWebHook(const QString& url, const QString& subject, const QString& message,
                               const QString& status, const QString& computerName) override;
    // "COMPUTERNAME", or the host name where that variable is not set
    // (it is a Windows variable).
    QString computerName() const override;
};

} // namespace tessaro
