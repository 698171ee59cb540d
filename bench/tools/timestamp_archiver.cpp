// An archiver for timing what happens around it: it creates the archive
// named by its second-to-last argument as an empty file and appends the
// moments it started and ended (nanoseconds of the real-time clock) and the
// user and system CPU time it used itself (nanoseconds, from its start as a
// process) to the file named by TESSARO_BENCH_TIMES. No Qt, no shell: it costs as little as
// a program can, so the gaps between two runs belong to whoever starts it,
// and its own CPU time can be taken off the CPU time of whoever started it.
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sys/resource.h>

namespace {

long long nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

long long nanoseconds(const timeval& t)
{
    return static_cast<long long>(t.tv_sec) * 1000000000LL +
           static_cast<long long>(t.tv_usec) * 1000LL;
}

} // namespace

int main(int argc, char** argv)
{
    const long long started = nowNs();
    if (argc >= 3)
        std::ofstream(argv[argc - 2], std::ios::binary | std::ios::trunc);
    if (const char* times = std::getenv("TESSARO_BENCH_TIMES")) {
        std::ofstream out(times, std::ios::app);
        const long long ended = nowNs();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        out << started << ' ' << ended << ' ' << nanoseconds(usage.ru_utime) << ' '
            << nanoseconds(usage.ru_stime) << '\n';
    }
    return 0;
}
