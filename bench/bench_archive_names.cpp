// Forming archive names and command lines: done for every rule at the start
// of each pass, so it must stay far below the cost of starting the archiver.
#include "core/ArchiverCommandLine.h"

#include <benchmark/benchmark.h>

namespace {

using namespace tessaro;

void BM_ArchiveNameAndCommandLine(benchmark::State& state)
{
    TBackupRule rule;
    rule.SourceFolder = QStringLiteral("/home/user/Documents/");
    rule.DestinationFolder = QStringLiteral("/srv/backup/");
    rule.DestinationFilename = QStringLiteral("documents_#ymd_hns#");
    rule.IncludeSubFolders = true;
    TWinRAROptions options;
    options.ArchiveFormat = TArchiveFormat::Rar;
    options.Compression = TCompression::Normal;
    options.StorePaths = TStorePaths::Relative;
    const LocalDateTime now = LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9);
    for (auto _ : state) {
        const QString archive = BuildArchiveFileName(rule, options, now);
        benchmark::DoNotOptimize(
            BuildCommandLine(rule, options, archive, QStringLiteral("/tmp/winrar_errors.log")));
    }
}
BENCHMARK(BM_ArchiveNameAndCommandLine);

} // namespace

BENCHMARK_MAIN();
