#pragma once

#include "app/PassServices.h"
#include "core/ProcessArchiverRunner.h"

namespace tessaro {

// The pass's outside work done by the real units: the archiver runs as a
// process, auto clean deletes archives, the webhook sends its request.
class CorePassServices final : public PassServices
{
public:
    ArchiverRunner& archiver() override { return m_archiver; }
    void autoCleanFolder(const QString& folder, const QString& extension, int maxFiles,
                         qint64 maxBytes, const TLogProc& log,
                         const TAutoCleanContext& context) override;
    void postWebHook(const QString& url, const QString& subject, const QString& message,
                     const QString& status, const QString& computerName, WebHookDone done) override;
    // "COMPUTERNAME", or the host name where that variable is not set
    // (it is a Windows variable).
    QString computerName() const override;

private:
    ProcessArchiverRunner m_archiver;
};

} // namespace tessaro
