// Reading and writing the rule sections of a configuration with 1,000 rules:
// the bulk of loading and saving a large configuration file.
#include "core/BackupRule.h"
#include "core/MemIniFile.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace tessaro;

std::unique_ptr<TBackupRules> makeRules(int count)
{
    auto rules = std::make_unique<TBackupRules>();
    for (int i = 0; i < count; ++i) {
        auto rule = std::make_unique<TBackupRule>();
        rule->SourceFolder = QStringLiteral("/home/user/data/project_%1/").arg(i);
        rule->DestinationFolder = QStringLiteral("/srv/backup/%1/").arg(i % 20);
        rule->DestinationFilename = QStringLiteral("project_%1_#ymd_hns#").arg(i);
        rule->IncludeSubFolders = true;
        rule->AutoCleanMode = acmNumFiles;
        rule->NumFiles = 10;
        rule->DiskUsage = 5;
        rules->Add(std::move(rule));
    }
    return rules;
}

void BM_SaveAndLoad1000Rules(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("tessaro.ini"));
    const auto rules = makeRules(1000);
    for (auto _ : state) {
        TMemIniFile out(fileName);
        rules->ToIniFile(out, QStringLiteral("backup_rules"));
        TMemIniFile in(fileName);
        in.load();
        TBackupRules loaded;
        loaded.FromIniFile(in, QStringLiteral("backup_rules"));
        benchmark::DoNotOptimize(loaded.Count());
    }
}
BENCHMARK(BM_SaveAndLoad1000Rules)->Unit(benchmark::kMillisecond);

// Every rule on a folder of its own: the first rule of each destination
// folder, as a pass and the settings page look them up. Linear: ten times
// the rules cost ten times as much, like the plain walk over the same rules
// below that serves as the reference.
std::unique_ptr<TBackupRules> rulesOnDistinctFolders(int count)
{
    auto rules = std::make_unique<TBackupRules>(PathStyle::Windows);
    for (int i = 0; i < count; ++i) {
        auto rule = std::make_unique<TBackupRule>();
        rule->DestinationFolder = QStringLiteral("D:\\Backup\\%1\\").arg(i);
        rules->Add(std::move(rule));
    }
    return rules;
}

void BM_FirstRulesOfDestinationFolders(benchmark::State& state)
{
    const auto rules = rulesOnDistinctFolders(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(rules->FirstRulesOfDestinationFolders());
}
BENCHMARK(BM_FirstRulesOfDestinationFolders)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_WalkOverTheRules(benchmark::State& state)
{
    const auto rules = rulesOnDistinctFolders(int(state.range(0)));
    for (auto _ : state) {
        QStringList folders;
        for (qsizetype i = 0; i < rules->Count(); ++i)
            folders.append(rules->Item(i)->DestinationFolder.toCaseFolded());
        benchmark::DoNotOptimize(folders);
    }
}
BENCHMARK(BM_WalkOverTheRules)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
