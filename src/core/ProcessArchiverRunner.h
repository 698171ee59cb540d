#pragma once

#include "core/ArchiverProcess.h"
#include "core/ArchiverRunner.h"

#include <memory>

namespace tessaro {

// Runs the archiver as a hidden process of its own (ArchiverProcess).
class ProcessArchiverRunner final : public ArchiverRunner
{
public:
    ProcessArchiverRunner() = default;
    ~ProcessArchiverRunner() override;
    Q_DISABLE_COPY_MOVE(ProcessArchiverRunner)

    void start(const QString& program, const ArchiverTokens& tokens, const QString& workingFolder,
               Finished finished) override;
    void stop() override;

private:
    std::unique_ptr<ArchiverProcess> m_process;
};

} // namespace tessaro
