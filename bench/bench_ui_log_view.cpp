// Appending lines to the log view of the real window: the 100,000th line
// must cost no more than twice the 1,000th, since the view only grows.
#include "frmMain.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace tessaro;

// One log line as the activity log shows it: a text run, a link, the rest.
void appendLine(TMainForm& form, int n)
{
    form.appendText(QStringLiteral("27.03.2026 14:05:09 [I] backup: creating /srv/b/a_%1.rar from "
                                   "source ")
                        .arg(n),
                    0x000000);
    form.appendLink(QStringLiteral("/home/user/Documents/"));
    form.appendText(QString(), 0x000000);
    form.endLine();
}

// Fills the view up to the given number of lines, then times the next ones.
void BM_LogViewLineAfter(benchmark::State& state)
{
    QTemporaryDir data;
    MainWindowSeams seams;
    seams.findArchiver = [] {
        return QString();
    };
    TMainForm form(seams, {data.path(), QString()});
    const int before = int(state.range(0));
    for (int i = 0; i < before; ++i)
        appendLine(form, i);
    int n = before;
    for (auto _ : state)
        appendLine(form, n++);
}
BENCHMARK(BM_LogViewLineAfter)
    ->Arg(1000)
    ->Arg(100000)
    ->Iterations(200)
    ->Unit(benchmark::kMicrosecond);

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
