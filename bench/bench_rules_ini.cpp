// Reading and writing the rule sections of a configuration with 1,000 rules:
// the bulk of loading and saving a large configuration file.
#include "BackupRule.h"
#include "MemIniFile.h"

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

} // namespace

BENCHMARK_MAIN();
