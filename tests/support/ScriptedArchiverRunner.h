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

    int run(const QString& program, const ArchiverTokens& tokens,
            const QString& workingFolder) override;

    // The result codes of the next calls, one each; once they are used up,
    // every further call gives defaultResultCode.
    QList<int> resultCodes;
    int defaultResultCode = 0;
    // When set, every command that makes an archive leaves it with these
    // bytes, whatever its result code (as an archiver may).
    std::optional<QByteArray> archive;
    // Runs inside each call once it is recorded, where the pending events of
    // a real archiver's wait would run.
    std::function<void(const Call&)> duringRun;

    QList<Call> calls;
};

} // namespace tessaro::test
