#include "core/ArchiverProcess.h"

#include "core/ArchiverExitCodes.h"
#include "core/ArchiverStart.h"
#include "core/PathRules.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tessaro {

ArchiverProcess::ArchiverProcess(std::function<void(int resultCode)> finished)
    : m_finished(std::move(finished))
{
    m_killTimer.setSingleShot(true);
    connect(&m_killTimer, &QTimer::timeout, &m_process, &QProcess::kill);
    connect(&m_process, &QProcess::finished, this,
            [this](int exitCode, QProcess::ExitStatus status) {
                // Ended by a signal (or, on Windows, by an exception status): there
                // is no exit code the archiver chose.
                report(status == QProcess::NormalExit ? exitCode : ResultStartFailed);
            });
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            report(ResultStartFailed);
    });
}

ArchiverProcess::~ArchiverProcess()
{
    // Never leave an archiver behind that nobody follows any more.
    m_process.disconnect(this);
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(StopGraceMs);
    }
}

void ArchiverProcess::start(const QString& program, const ArchiverTokens& tokens,
                            const QString& workingFolder)
{
    m_process.setProgram(program);
    prepareArchiverStart(m_process, tokens);
    m_process.setWorkingDirectory(workingFolder);
    // Nobody reads the archiver's output: sending it nowhere means a chatty
    // archiver can neither fill a pipe and stall nor grow our memory, and it
    // never waits for input.
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_starting = true;
    m_process.start();
    m_starting = false;
}

void ArchiverProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning || m_killTimer.isActive())
        return;
    m_process.terminate();
    m_killTimer.start(StopGraceMs);
}

void ArchiverProcess::report(int resultCode)
{
    if (m_reported)
        return;
    m_reported = true;
    m_killTimer.stop();
    // A start failure may be reported inside start itself; the caller hears
    // of every end from the event loop alike. An end that comes from the
    // event loop already goes on at once.
    if (!m_starting) {
        m_finished(resultCode);
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, resultCode] { m_finished(resultCode); }, Qt::QueuedConnection);
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
