// Appending to the activity log: every line opens, locks, appends to and
// closes the month's file, so this is the floor under every logged event of a
// pass.
#include "app/ActivityLog.h"
#include "app/LogLine.h"
#include "core/SystemConventions.h"

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

// The reference: the same bytes appended by opening, locking, seeking to the
// end, writing and closing the file, with nothing else around it.
void BM_AppendLockedBytesOnly(benchmark::State& state)
{
    QTemporaryDir dir;
    if (!dir.isValid()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const QString fileName = dir.filePath(u"2603_tessaro.log"_s);
    const QByteArray line = "27.03.2026 14:05:09 [I] backup: creating /srv/backup/docs_2603.rar "
                            "from source \"/home/user/Docs\"\r\n";
    for (auto _ : state) {
        QFile file(fileName);
        if (!openDenyingOtherWriters(file) || !file.seek(file.size()))
            state.SkipWithError("cannot open the log file");
        benchmark::DoNotOptimize(file.write(line));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AppendLockedBytesOnly);

// A log line's text with its timestamp, as every logged event formats it;
// the clock moves on by a second every line.
void BM_FormatLogLine(benchmark::State& state)
{
    const QString text = u"auto clean: deleting /srv/backup/docs_260327_140509.rar"_s;
    LocalDateTime now = LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9);
    for (auto _ : state) {
        benchmark::DoNotOptimize(formatLogLine(now, u"I"_s, text));
        now = now.addMilliseconds(LocalDateTime::MsPerSecond);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatLogLine);

// The reference: the same line put together from a timestamp text that is
// already there.
void BM_JoinReadyLogLine(benchmark::State& state)
{
    const QString text = u"auto clean: deleting /srv/backup/docs_260327_140509.rar"_s;
    const QString stamp = u"27.03.2026 14:05:09"_s;
    for (auto _ : state)
        benchmark::DoNotOptimize(stamp + u" [I] "_s + text);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_JoinReadyLogLine);

} // namespace

BENCHMARK_MAIN();
