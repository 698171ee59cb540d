// The archiver search through a large program folder: 10,000 folders four
// levels deep (10 x 10 x 10 x 10) without the archiver, so every folder the
// scan may enter is listed. The window does not respond while it runs.
#include "core/ArchiverLocation.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace tessaro;

constexpr int Fanout = 10;

// Builds the tree once per process: creating 10,000 folders takes far longer
// than scanning them and is not what is measured.
QString programFolder()
{
    static QTemporaryDir dir;
    static const bool built = [] {
        for (int a = 0; a < Fanout; ++a)
            for (int b = 0; b < Fanout; ++b)
                for (int c = 0; c < Fanout; ++c)
                    for (int d = 0; d < Fanout; ++d)
                        QDir().mkpath(dir.filePath(QStringLiteral("app%1/lib%2/share%3/data%4")
                                                       .arg(a)
                                                       .arg(b)
                                                       .arg(c)
                                                       .arg(d)));
        return true;
    }();
    Q_UNUSED(built);
    return dir.path();
}

void BM_ScanProgramFolderWithoutArchiver(benchmark::State& state)
{
    const QString root = programFolder();
    for (auto _ : state) {
        const QString found = FindWinRARInFolder(root, 0);
        if (!found.isEmpty())
            state.SkipWithError("the generated tree holds no archiver");
        benchmark::DoNotOptimize(found);
    }
    state.counters["folders"] = Fanout * Fanout * Fanout * Fanout;
}
BENCHMARK(BM_ScanProgramFolderWithoutArchiver)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
