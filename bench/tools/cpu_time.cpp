// Runs a command and writes the user and system CPU time it and the
// processes it waited for used, in seconds with microseconds, to a file:
//   cpu-time <file> <program> [arguments...]
// GNU time prints these with two decimals only, which is coarser than the
// per-rule figures the end-to-end benchmark reads from them.
#include <cstdio>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

double seconds(const timeval& t)
{
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: cpu-time <file> <program> [arguments...]\n");
        return 2;
    }
    pid_t child = 0;
    if (posix_spawnp(&child, argv[2], nullptr, nullptr, argv + 2, environ) != 0) {
        std::perror(argv[2]);
        return 127;
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child)
        return 127;
    if (FILE* out = std::fopen(argv[1], "w")) {
        std::fprintf(out, "%.6f %.6f\n", seconds(usage.ru_utime), seconds(usage.ru_stime));
        std::fclose(out);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}
