#include "core/ArchiverProcess.h"

#include "core/ArchiverExitCodes.h"
#include "core/ArchiverStart.h"
#include "core/PathRules.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace tessaro {

namespace {

// The archiver is waited for in slices this long; between slices the
// thread's pending events run so the window stays responsive.
constexpr int waitSliceMs = 50;

// Waits until the process has ended, however it ends. The pending events
// may themselves notice the end and reap the process, so the loop asks for
// the state rather than trusting waitForFinished's answer alone.
void waitProcessingEvents(QProcess& process)
{
    while (process.state() != QProcess::NotRunning) {
        if (!process.waitForFinished(waitSliceMs) && process.state() != QProcess::NotRunning)
            QCoreApplication::processEvents();
    }
}

} // namespace

int RunWinRAR(const QString& winRARPath, const ArchiverTokens& tokens, const QString& workingFolder)
{
    QProcess process;
    process.setProgram(winRARPath);
    prepareArchiverStart(process, tokens);
    process.setWorkingDirectory(workingFolder);
    // Nobody reads the archiver's output: sending it nowhere means a chatty
    // archiver can neither fill a pipe and stall nor grow our memory, and it
    // never waits for input.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());

    process.start();
    if (!process.waitForStarted(-1))
        return ResultStartFailed;

    waitProcessingEvents(process);

    // Ended by a signal (or, on Windows, by an exception status): there is no
    // exit code the archiver chose.
    if (process.exitStatus() != QProcess::NormalExit)
        return ResultStartFailed;
    return process.exitCode();
}

QString GetArchiverWorkingFolder()
{
    const QStandardPaths::StandardLocation candidates[] = {
        QStandardPaths::TempLocation,
        // The user's local application data folder (AppData\Local on Windows).
        QStandardPaths::GenericDataLocation,
        QStandardPaths::DocumentsLocation,
    };
    for (const auto location : candidates) {
        const QString folder = QStandardPaths::writableLocation(location);
        if (QFileInfo(folder).isDir())
            return nativeFolder(folder);
    }
    return {};
}

} // namespace tessaro
