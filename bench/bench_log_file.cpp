// Appending to the activity log: every line opens, locks, appends to and
// closes the month's file, so this is the floor under every logged event of a
// pass.
#include "app/ActivityLog.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace tessaro;
using namespace Qt::StringLiterals;

void BM_LogWriteAsciiLines(benchmark::State& state)
{
    QTemporaryDir dir;
    if (!dir.isValid()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    SystemClock clock;
    ActivityLog log(clock, nullptr);
    log.setLogFolder(dir.path() + u'/');
    const QString text =
        u"backup: creating /srv/backup/docs_2603.rar from source \"/home/user/Docs\""_s;
    for (auto _ : state) {
        log.LogInfo(text);
        // A pass empties the capture list; without that the run would measure
        // an ever-growing list.
        if (log.capture().size() >= 100000)
            log.clearCapture();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LogWriteAsciiLines);

} // namespace

BENCHMARK_MAIN();
