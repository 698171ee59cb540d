#include "core/ProcessArchiverRunner.h"

namespace tessaro {

ProcessArchiverRunner::~ProcessArchiverRunner() = default;

void ProcessArchiverRunner::start(const QString& program, const ArchiverTokens& tokens,
                                  const QString& workingFolder, Finished finished)
{
    m_process =
        std::make_unique<ArchiverProcess>([this, finished = std::move(finished)](int resultCode) {
            // The process object is inside its own signal: it goes once that
            // is over, and the next start may already make a new one.
            m_process.release()->deleteLater();
            finished(resultCode);
        });
    m_process->start(program, tokens, workingFolder);
}

void ProcessArchiverRunner::stop()
{
    if (m_process)
        m_process->stop();
}

} // namespace tessaro
