// The rule list of the Backup page at its first show with 200 rules: filled,
// shown in a window and laid out until the window has settled. The
// reference is a plain tree widget holding the same rows in the same window,
// whose columns keep fixed widths.
#include "ui/RuleListView.h"

#include <QApplication>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <benchmark/benchmark.h>

namespace {

using namespace tessaro;
using namespace Qt::StringLiterals;

constexpr int ruleCount = 200;

std::unique_ptr<TBackupRules> makeRules()
{
    auto rules = std::make_unique<TBackupRules>();
    for (int i = 0; i < ruleCount; ++i) {
        auto rule = std::make_unique<TBackupRule>();
        rule->SourceFolder = u"/home/user/Documents/Projects/customer_%1/reports/"_s.arg(i);
        rule->DestinationFolder = u"/srv/backup/office/%1/"_s.arg(i % 20);
        rule->DestinationFilename = u"project_%1_#ymd_hns#"_s.arg(i);
        rule->IncludeSubFolders = true;
        rules->Add(std::move(rule));
    }
    return rules;
}

// Shows a window holding the list, lets it settle and closes it again.
template <typename Fill>
void showInWindow(Fill fill)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    fill(window, *layout);
    window.resize(900, 600);
    window.show();
    QCoreApplication::processEvents();
    window.resize(1000, 650);
    QCoreApplication::processEvents();
}

void BM_RuleListFirstShow(benchmark::State& state)
{
    const auto rules = makeRules();
    for (auto _ : state) {
        showInWindow([&rules](QWidget& window, QVBoxLayout& layout) {
            auto* view = new RuleListView(&window);
            layout.addWidget(view);
            view->showRules(*rules);
        });
    }
    state.counters["rules"] = ruleCount;
}
BENCHMARK(BM_RuleListFirstShow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainTreeFirstShow(benchmark::State& state)
{
    const auto rules = makeRules();
    for (auto _ : state) {
        showInWindow([&rules](QWidget& window, QVBoxLayout& layout) {
            auto* view = new QTreeWidget(&window);
            view->setHeaderLabels({u"Source"_s, u"Filename"_s, u"Destination"_s, u"Subfolders"_s});
            layout.addWidget(view);
            for (qsizetype i = 0; i < rules->Count(); ++i) {
                const TBackupRule* rule = rules->Item(i);
                new QTreeWidgetItem(view, {rule->SourceFolder, rule->DestinationFilename,
                                           rule->DestinationFolder, u"Yes"_s});
            }
        });
    }
}
BENCHMARK(BM_PlainTreeFirstShow)->Unit(benchmark::kMillisecond)->UseRealTime();

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
