#pragma once

#include "core/ArchiverRunner.h"

namespace tessaro {

// Runs the archiver as a hidden process of its own (RunWinRAR).
class ProcessArchiverRunner final : public ArchiverRunner
{
public:
    int run(const QString& program, const ArchiverTokens& tokens,
            const QString& workingFolder) override;
};

} // namespace tessaro
