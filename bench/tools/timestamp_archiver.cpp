// An archiver for timing what happens around it: it creates the archive
// named by its second-to-last argument as an empty file and appends the
// moments it started and ended (nanoseconds of the real-time clock) and the
// user and system CPU time it used itself (nanoseconds, from its start as a
// process) to the file named by TESSARO_BENCH_TIMES. No Qt, no shell, no
// C++ streams, linked statically and ended without running any destructor:
// what it costs after it read its own CPU time (ending the process) is as
// little as a process can cost, so the gaps between two runs belong to
// whoever starts it, and its own CPU time can be taken off the CPU time of
// whoever started it.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

long long nowNs()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
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
    if (argc >= 3) {
        const int archive = open(argv[argc - 2], O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (archive >= 0)
            close(archive);
    }
    if (const char* times = std::getenv("TESSARO_BENCH_TIMES")) {
        const int out = open(times, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
        const long long ended = nowNs();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        char line[128];
        const int length = std::snprintf(line, sizeof line, "%lld %lld %lld %lld\n", started, ended,
                                         nanoseconds(usage.ru_utime), nanoseconds(usage.ru_stime));
        if (out >= 0 && length > 0 && write(out, line, size_t(length)) < 0)
            _exit(1);
    }
    _exit(0);
}
