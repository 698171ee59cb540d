// An archiver for timing what happens around it: it creates the archive
// named by its second-to-last argument as an empty file and appends the
// moments it started and ended (nanoseconds of the real-time clock) to the
// file named by TESSARO_BENCH_TIMES. No Qt, no shell: it costs as little as
// a program can, so the gaps between two runs belong to whoever starts it.
#include <chrono>
#include <cstdlib>
#include <fstream>

namespace {

long long nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace

int main(int argc, char** argv)
{
    const long long started = nowNs();
    if (argc >= 3)
        std::ofstream(argv[argc - 2], std::ios::binary | std::ios::trunc);
    if (const char* times = std::getenv("TESSARO_BENCH_TIMES"))
        std::ofstream(times, std::ios::app) << started << ' ' << nowNs() << '\n';
    return 0;
}
