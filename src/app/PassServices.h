#pragma once

#include "core/ArchiveJob.h"
#include "core/ArchiverRunner.h"
#include "core/Autoclean.h"

#include <QString>

#include <functional>

namespace tessaro {

struct WebHookOutcome
{
    bool success = false;
    QString errorText;
};

// What a backup pass hands on to the outside: running the archiver that
// makes and tests the archives, trimming the destination folders and telling
// the webhook. The program uses the real units; tests may script or record
// the calls instead.
class PassServices
{
public:
    virtual ~PassServices() = default;
    virtual ArchiverRunner& archiver() = 0;
    virtual void autoCleanFolder(const QString& folder, const QString& extension, int maxFiles,
                                 qint64 maxBytes, const TLogProc& log,
                                 const TAutoCleanContext& context) = 0;
    using WebHookDone = std::function<void(const WebHookOutcome& outcome)>;
    // Sends the call and returns; done gets the outcome once, from the event
    // loop or before the call returns.
    virtual void postWebHook(const QString& url, const QString& subject, const QString& message,
                             const QString& status, const QString& computerName,
                             WebHookDone done) = 0;
    // The name the webhook reports the computer by.
    virtual QString computerName() const = 0;
};

} // namespace tessaro
