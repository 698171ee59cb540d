// Opening the History window on a large run history: the window shows the
// last passes, so its cost must follow what it shows, not the file's size.
// The reference reads the whole file once and splits it into lines, the
// least any reader of the whole file does; parsing every line is what a
// reader of the whole file that keeps the last passes costs.
#include "app/ActivityLog.h"
#include "app/ConfigFile.h"
#include "app/RunHistory.h"
#include "core/Clock.h"
#include "ui/HistoryForm.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace tessaro;
using namespace Qt::StringLiterals;

constexpr qint64 historyBytes = 24 * 1024 * 1024;
constexpr int rulesPerPass = 10;

// A history of passes with ten rules each, up to the given size.
struct LargeHistory
{
    LargeHistory()
    {
        config.setFileName(data.filePath(u"tessaro.ini"_s));
        QFile file(history.fileName());
        file.open(QIODevice::WriteOnly);
        const LocalDateTime start = LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9);
        for (int pass = 0; file.size() < historyBytes; ++pass) {
            PassRecord record;
            record.start = start.addMinutes(pass);
            record.end = record.start.addMinutes(1);
            for (int r = 0; r < rulesPerPass; ++r) {
                record.rules.append({u"/home/user/data/project_%1/"_s.arg(r),
                                     r == 3 ? 2 : 0,
                                     u"/srv/backup/project_%1_260327_140509.rar"_s.arg(r),
                                     1234567,
                                     12,
                                     record.start,
                                     record.end,
                                     data.filePath(u"log/2603_tessaro.log"_s),
                                     {}});
            }
            file.write(RunHistory::toJsonLine(record));
        }
    }

    QTemporaryDir data;
    SystemClock clock;
    ActivityLog log{clock, nullptr};
    ConfigFile config{log};
    RunHistory history{config, log};
};

void BM_HistoryWindowOpens24MB(benchmark::State& state)
{
    LargeHistory large;
    for (auto _ : state) {
        auto* form = new THistoryForm(large.history.lastPasses(), nullptr);
        form->show();
        QCoreApplication::processEvents();
        delete form;
    }
    state.counters["MB"] = double(QFile(large.history.fileName()).size()) / 1e6;
}
BENCHMARK(BM_HistoryWindowOpens24MB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadWholeHistoryIntoLines(benchmark::State& state)
{
    LargeHistory large;
    for (auto _ : state) {
        QFile file(large.history.fileName());
        file.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(file.readAll().split('\n').size());
    }
}
BENCHMARK(BM_ReadWholeHistoryIntoLines)->Unit(benchmark::kMillisecond)->UseRealTime();

// What reading the last passes costs when every line of the file is parsed
// to keep the last ones, as a reader of the whole file does.
void BM_ParseEveryHistoryLine(benchmark::State& state)
{
    LargeHistory large;
    for (auto _ : state) {
        QFile file(large.history.fileName());
        file.open(QIODevice::ReadOnly);
        qsizetype passes = 0;
        while (!file.atEnd())
            passes += RunHistory::fromJsonLine(file.readLine().trimmed()).has_value();
        benchmark::DoNotOptimize(passes);
    }
}
BENCHMARK(BM_ParseEveryHistoryLine)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
