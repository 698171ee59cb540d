#pragma once

#include "core/ArchiveJob.h"
#include "core/ArchiveVerify.h"
#include "core/ProcessArchiverRunner.h"
#include "core/WebHook.h"

#include <QtCore/qtestsupport_core.h>

#include <optional>

namespace tessaro::test {

// The longest a broken test waits for an asynchronous call to end.
inline constexpr int RunToEndLimitMs = 30000;

// Runs the event loop until the value a call delivers has arrived; nothing
// when it has not within the limit.
template <typename T, typename Start>
std::optional<T> runToEnd(Start start)
{
    std::optional<T> result;
    start([&result](const T& value) { result = value; });
    if (!QTest::qWaitFor([&result] { return result.has_value(); }, RunToEndLimitMs))
        return std::nullopt;
    return result;
}

// The archive job run to its end: sets code and returns whether it is 0.
inline bool archiveRuleToEnd(ArchiverRunner& runner, const QString& winRARPath,
                             const TBackupRule& rule, const TWinRAROptions& options, int& code,
                             const TLogProc& log, const QString& archivePath)
{
    code = runToEnd<int>([&](auto done) {
               ArchiveRule(runner, winRARPath, rule, options, log, archivePath, done);
           }).value_or(-1);
    return code == 0;
}

// The archive test run to its end: the archiver's exit code.
inline int verifyArchiveToEnd(ArchiverRunner& runner, const QString& winRARPath,
                              const TBackupRule& rule, const TWinRAROptions& options,
                              const QString& archivePath, const TLogProc& log)
{
    return runToEnd<int>([&](auto done) {
               VerifyArchive(runner, winRARPath, rule, options, archivePath, log, done);
           })
        .value_or(-1);
}

// The archiver run as a process to its end: its result code.
inline int runArchiverToEnd(const QString& program, const ArchiverTokens& tokens,
                            const QString& workingFolder)
{
    ProcessArchiverRunner runner;
    return runToEnd<int>([&](auto done) { runner.start(program, tokens, workingFolder, done); })
        .value_or(-1);
}

// The webhook call run to its end.
inline WebHookResult postWebHookToEnd(const QString& url, const QString& subject,
                                      const QString& message, const QString& status,
                                      const QString& computerName)
{
    return runToEnd<WebHookResult>(
               [&](auto done) { PostWebHook(url, subject, message, status, computerName, done); })
        .value_or(WebHookResult{false, QStringLiteral("no outcome in time")});
}

} // namespace tessaro::test
