#include "core/FileSync.h"

#include <qt_windows.h>

#include <io.h>

namespace tessaro {

bool syncToStorage(QFileDevice& file, QString* error)
{
    // Qt opens files by handle on Windows and reports no C runtime
    // descriptor for them; such a file is flushed by QSaveFile::commit().
    const int fd = file.handle();
    if (fd < 0)
        return true;
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE || FlushFileBuffers(handle))
        return true;
    if (error)
        *error = QStringLiteral("could not flush the file to disk (error %1)").arg(GetLastError());
    return false;
}

} // namespace tessaro
