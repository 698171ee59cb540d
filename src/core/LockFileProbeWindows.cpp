#include "core/LockFileProbe.h"

#include <QDir>

#include <windows.h>

namespace tessaro {

bool lockFileHeldOpen(const QString& path)
{
    // The owner shares reading only: asking for the right to delete meets a
    // sharing violation exactly while it holds the file.
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    const HANDLE file = ::CreateFileW(native.c_str(), DELETE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return ::GetLastError() == ERROR_SHARING_VIOLATION;
    ::CloseHandle(file);
    return false;
}

} // namespace tessaro
