#include "app/ConsoleOutput.h"

#include <cstdio>
#include <windows.h>

namespace tessaro {

namespace {

// A handle that the starter handed in: a file, a pipe or a console.
bool isConnected(DWORD which)
{
    const HANDLE handle = ::GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

} // namespace

void connectStandardOutput()
{
    const bool outputConnected = isConnected(STD_OUTPUT_HANDLE);
    const bool errorConnected = isConnected(STD_ERROR_HANDLE);
    if (outputConnected && errorConnected)
        return;
    // Started from Explorer or the Task Scheduler there is no console to
    // borrow; the output then goes nowhere, as for any windowed program.
    if (!::AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (!outputConnected)
        std::freopen("CONOUT$", "w", stdout);
    if (!errorConnected)
        std::freopen("CONOUT$", "w", stderr);
}

} // namespace tessaro
