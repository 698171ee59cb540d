// The window's logic on a fake window: loading and saving a configuration
// with 1,000 rules, one idle schedule tick, and the overhead of a backup pass
// over running the archiver directly for the same rules.
#include "FakeArchiverPlan.h"
#include "FakeMainView.h"
#include "app/MainWindowLogic.h"
#include "core/ArchiverProcess.h"
#include "core/ArchiverStart.h"
#include "core/FileSync.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace tessaro;

QString withSlash(const QString& folder)
{
    return folder + QLatin1Char('/');
}

// The logic with its data folder in a temporary folder.
struct Harness
{
    Harness()
    {
        seams.findArchiver = [] {
            return QString();
        };
        logic = std::make_unique<MainWindowLogic>(view, seams);
        logic->startup().FormCreate({data.path(), QString()});
    }

    void addRules(int count, bool withFiles)
    {
        for (int i = 0; i < count; ++i) {
            auto rule = std::make_unique<TBackupRule>();
            rule->SourceFolder = withSlash(data.filePath(QStringLiteral("src%1").arg(i)));
            rule->DestinationFolder =
                withSlash(data.filePath(QStringLiteral("dest%1").arg(i % 20)));
            rule->DestinationFilename = QStringLiteral("rule%1_#ymd_hns#").arg(i);
            rule->IncludeSubFolders = true;
            if (withFiles) {
                QDir().mkpath(rule->SourceFolder);
                QDir().mkpath(rule->DestinationFolder);
                QFile file(rule->SourceFolder + QStringLiteral("a.txt"));
                file.open(QIODevice::WriteOnly);
                file.write("data");
            }
            logic->settings().rules().Add(std::move(rule));
        }
    }

    QTemporaryDir data;
    test::FakeMainView view;
    MainWindowSeams seams;
    std::unique_ptr<MainWindowLogic> logic;
};

void BM_ConfigLoadAndSave1000Rules(benchmark::State& state)
{
    Harness h;
    h.addRules(1000, false);
    h.logic->config().SaveConfig();
    for (auto _ : state) {
        benchmark::DoNotOptimize(h.logic->config().LoadConfig());
        h.logic->config().SaveConfig();
    }
    state.counters["rules"] = double(h.logic->settings().rules().Count());
}
BENCHMARK(BM_ConfigLoadAndSave1000Rules)->Unit(benchmark::kMillisecond);

// The reference: the same file read whole and written back the way a save
// writes it (beside it, synced to the disk, renamed over it), the floor
// under any load and save of these bytes.
void BM_ConfigBytesReadAndReplaced(benchmark::State& state)
{
    Harness h;
    h.addRules(1000, false);
    h.logic->config().SaveConfig();
    const QString fileName = h.logic->configFile().fileName();
    for (auto _ : state) {
        QFile in(fileName);
        in.open(QIODevice::ReadOnly);
        const QByteArray bytes = in.readAll();
        in.close();
        QSaveFile out(fileName);
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
        out.flush();
        QString error;
        syncToStorage(out, &error);
        benchmark::DoNotOptimize(out.commit());
    }
    state.counters["bytes"] = double(QFile(fileName).size());
}
BENCHMARK(BM_ConfigBytesReadAndReplaced)->Unit(benchmark::kMillisecond);

void BM_IdleScheduleTick(benchmark::State& state)
{
    Harness h;
    h.addRules(1, false);
    h.logic->periodic().ActionRun(false);
    for (auto _ : state)
        h.logic->periodic().TimerScheduleTimer();
}
BENCHMARK(BM_IdleScheduleTick)->Unit(benchmark::kMicrosecond);

constexpr int passRules = 10;

// The archiver as a plain blocking process run, the reference a pass is
// measured against.
int runDirectly(const QString& program, const ArchiverTokens& tokens, const QString& folder)
{
    QProcess process;
    process.setProgram(program);
    prepareArchiverStart(process, tokens);
    process.setWorkingDirectory(folder);
    process.start();
    process.waitForFinished(-1);
    return process.exitCode();
}

// The archiver run directly, once per rule with that rule's command line:
// the floor a pass cannot beat.
void BM_ArchiverDirectly(benchmark::State& state)
{
    Harness h;
    h.addRules(passRules, true);
    test::FakeArchiverPlan plan;
    plan.archive = QByteArray("archive");
    const test::ScopedFakeArchiverPlan scoped(h.data.filePath(QStringLiteral("plan.txt")), plan);
    QList<ArchiverTokens> commands;
    for (qsizetype i = 0; i < h.logic->settings().rules().Count(); ++i) {
        const TBackupRule& rule = *h.logic->settings().rules().Item(i);
        commands.append(BuildArchiverTokens(rule, TWinRAROptions(),
                                            rule.DestinationFolder + QStringLiteral("a.rar"),
                                            h.data.filePath(QStringLiteral("errors.log"))));
    }
    const QString workingFolder = GetArchiverWorkingFolder();
    for (auto _ : state) {
        for (const ArchiverTokens& tokens : commands) {
            benchmark::DoNotOptimize(
                runDirectly(QStringLiteral(TESSARO_FAKE_ARCHIVER), tokens, workingFolder));
        }
    }
}
BENCHMARK(BM_ArchiverDirectly)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BackupPass(benchmark::State& state)
{
    Harness h;
    h.addRules(passRules, true);
    h.logic->changeSettings(
        [](TSettings& s) { s.WinRARLocation = QStringLiteral(TESSARO_FAKE_ARCHIVER); }, false);
    test::FakeArchiverPlan plan;
    plan.archive = QByteArray("archive");
    const test::ScopedFakeArchiverPlan scoped(h.data.filePath(QStringLiteral("plan.txt")), plan);
    for (auto _ : state) {
        // The pass runs from the event loop until its end quits the loop.
        QEventLoop loop;
        if (h.logic->pass().RunBackup([&loop] { loop.quit(); }))
            loop.exec();
    }
}
BENCHMARK(BM_BackupPass)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
