#pragma once

#include "core/ArchiverRunner.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <functional>
#include <optional>

namespace tessaro::test {

// Stands in for the archiver without starting a process: records every call
// and answers with the result codes the test scripted, in order.
class ScriptedArchiverRunner final : public ArchiverRunner
{
public:
    struct Call
    {
        QString program;
        ArchiverTokens tokens;
        QString workingFolder;

        // The archiver's command: "a" or "u" makes an archive, "t" tests one.
        QString command() const;
        // The archive the command works on.
        QString archive() const;
        QStringList arguments() const { return ArgumentVector(tokens); }
    };

    // When a started call ends.
    enum class Ending
    {
        // Before start returns, as an archiver that takes no time.
        AtOnce,
        // From the event loop, as a process does.
        FromEventLoop,
        // When the test calls finish(), or stop() ends it.
        WhenTold,
    };

    void start(const QString& program, const ArchiverTokens& tokens, const QString& workingFolder,
               Finished finished) override;
    // Ends the running call with stopResultCode, from the event loop.
    void stop() override;

    // A call has started and not yet ended.
    bool running() const { return bool(m_finished); }
    // Ends the running call (Ending::WhenTold) with its scripted code.
    void finish();

    Ending ending = Ending::AtOnce;
    // The result codes of the next calls, one each; once they are used up,
    // every further call gives defaultResultCode.
    QList<int> resultCodes;
    int defaultResultCode = 0;
    // What a stopped call ends with: an archiver ended by a signal.
    int stopResultCode = 10000;
    int stopCalls = 0;
    // When set, every command that makes an archive leaves it with these
    // bytes, whatever its result code (as an archiver may), as it starts.
    std::optional<QByteArray> archive;
    // Runs inside each call once it is recorded, while the archiver would
    // run.
    std::function<void(const Call&)> duringRun;

    QList<Call> calls;

private:
    void end(int code);

    Finished m_finished;
    // Counts the calls, so that a late end never reaches a later call.
    int m_generation = 0;
};

} // namespace tessaro::test
