#include "core/ArchiverStart.h"

#include <QProcess>
#include <qt_windows.h>

namespace tessaro {

QProcessEnvironment archiverEnvironment(const QProcessEnvironment& inherited)
{
    // The command line travels in UTF-16; no locale reads it.
    return inherited;
}

void prepareArchiverStart(QProcess& process, const ArchiverTokens& tokens)
{
    process.setNativeArguments(JoinParameterString(tokens));
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* args) {
        args->flags |= CREATE_NO_WINDOW;
        args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        args->startupInfo->wShowWindow = SW_HIDE;
    });
}

} // namespace tessaro
