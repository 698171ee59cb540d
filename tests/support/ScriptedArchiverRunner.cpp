#include "ScriptedArchiverRunner.h"

#include <QFile>

namespace tessaro::test {

QString ScriptedArchiverRunner::Call::command() const
{
    return tokens.isEmpty() ? QString() : tokens.first().text;
}

QString ScriptedArchiverRunner::Call::archive() const
{
    // The test command ends with its archive; the others with the archive
    // and then the source folder.
    const qsizetype fromEnd = command() == QLatin1String("t") ? 1 : 2;
    return tokens.size() > fromEnd ? tokens.at(tokens.size() - fromEnd).text : QString();
}

int ScriptedArchiverRunner::run(const QString& program, const ArchiverTokens& tokens,
                                const QString& workingFolder)
{
    // A copy: a call made from duringRun appends to the list.
    const Call call{program, tokens, workingFolder};
    calls.append(call);
    if (archive && call.command() != QLatin1String("t")) {
        // Like the archiver, into an existing folder only.
        QFile file(call.archive());
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(*archive);
    }
    if (duringRun)
        duringRun(call);
    return resultCodes.isEmpty() ? defaultResultCode : resultCodes.takeFirst();
}

} // namespace tessaro::test
