// Appending lines to the log view of the real window: a line must cost the
// same after 1,000 lines as after 100,000 (the view keeps the newest
// ActivityLogView::MaxLines), and the memory the view holds per line stays
// small and bounded.
#include "ui/ActivityLogView.h"
#include "ui/MainForm.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <malloc.h>

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
    ->Iterations(2000)
    ->Unit(benchmark::kMicrosecond);

// The heap the view holds for its lines: bytes in use after 100,000 lines,
// less those before the first, divided by the lines it keeps.
void BM_LogViewMemory(benchmark::State& state)
{
    for (auto _ : state) {
        QTemporaryDir data;
        MainWindowSeams seams;
        seams.findArchiver = [] {
            return QString();
        };
        TMainForm form(seams, {data.path(), QString()});
        auto* view = form.findChild<ActivityLogView*>(QStringLiteral("LogView"));
        QCoreApplication::processEvents();
        const size_t before = mallinfo2().uordblks;
        int n = 0;
        for (; n < int(ActivityLogView::MaxLines); ++n)
            appendLine(form, n);
        QCoreApplication::processEvents();
        const size_t full = mallinfo2().uordblks;
        for (; n < 100000; ++n)
            appendLine(form, n);
        QCoreApplication::processEvents();
        const size_t after = mallinfo2().uordblks;
        state.counters["lines held"] = double(view->lineCount());
        state.counters["bytes per line"] = double(after - before) / double(view->lineCount());
        // Bounded: the heap after 100,000 lines against the heap once full.
        state.counters["growth after full"] = double(after) - double(full);
    }
}
BENCHMARK(BM_LogViewMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

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
