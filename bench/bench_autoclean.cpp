// Auto clean of a folder with 10,000 archives: listing, sorting and deciding
// what goes. Deleting is replaced by a counter, so the folder stays as it is
// and every iteration decides the same 9,990 deletions.
#include "core/Autoclean.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace tessaro;

void BM_AutoClean10000Archives(benchmark::State& state)
{
    QTemporaryDir dir;
    const QDateTime base = QDateTime::currentDateTime().addYears(-1);
    for (int i = 0; i < 10000; ++i) {
        QFile file(dir.filePath(QStringLiteral("backup_%1.rar").arg(i)));
        file.open(QIODevice::WriteOnly);
        file.write("x");
        file.setFileTime(base.addSecs(i * 60), QFileDevice::FileModificationTime);
    }
    int decided = 0;
    const TDeleteFileProc countOnly = [&decided](const QString&, QString*) {
        ++decided;
        return true;
    };
    for (auto _ : state) {
        decided = 0;
        benchmark::DoNotOptimize(
            AutoCleanFolder(dir.path(), QStringLiteral("rar"), 10, 0, TLogProc(), countOnly));
    }
    state.counters["deletions decided"] = decided;
}
BENCHMARK(BM_AutoClean10000Archives)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
