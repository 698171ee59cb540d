#include "ScriptedArchiverRunner.h"

#include <QFile>
#include <QTimer>

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

void ScriptedArchiverRunner::start(const QString& program, const ArchiverTokens& tokens,
                                   const QString& workingFolder, Finished finished)
{
    // A copy: a call made from duringRun appends to the list.
    const Call call{program, tokens, workingFolder};
    calls.append(call);
    m_finished = std::move(finished);
    const int generation = ++m_generation;
    if (archive && call.command() != QLatin1String("t")) {
        // Like the archiver, into an existing folder only.
        QFile file(call.archive());
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(*archive);
    }
    if (duringRun)
        duringRun(call);
    switch (ending) {
    case Ending::AtOnce:
        finish();
        return;
    case Ending::FromEventLoop:
        QTimer::singleShot(0, [this, generation] {
            if (generation == m_generation)
                finish();
        });
        return;
    case Ending::WhenTold:
        return;
    }
}

void ScriptedArchiverRunner::finish()
{
    if (running())
        end(resultCodes.isEmpty() ? defaultResultCode : resultCodes.takeFirst());
}

void ScriptedArchiverRunner::stop()
{
    ++stopCalls;
    if (running()) {
        QTimer::singleShot(0, [this, generation = m_generation] {
            if (generation == m_generation)
                end(stopResultCode);
        });
    }
}

void ScriptedArchiverRunner::end(int code)
{
    if (!m_finished)
        return;
    // The callback may start the next call, which sets its own.
    const Finished finished = std::exchange(m_finished, {});
    finished(code);
}

} // namespace tessaro::test
