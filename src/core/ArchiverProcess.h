#pragma once

#include "core/ArchiverCommandLine.h"

#include <QObject>
#include <QProcess>
#include <QString>
#include <QTimer>

#include <functional>

namespace tessaro {

// One run of the archiver as a hidden process of its own, followed from the
// event loop: start returns at once, and the callback gets the exit code
// once the process has ended, or ResultStartFailed when the program does not
// start, crashes, is ended by a signal or its exit code cannot be read. The
// callback always runs from the event loop, never inside start.
//
// On Windows the archiver receives the parameter string as its command line;
// elsewhere it receives the tokens as its argument vector.
class ArchiverProcess final : public QObject
{
public:
    // How long an archiver asked to end may take before it is killed.
    static constexpr int StopGraceMs = 3000;

    explicit ArchiverProcess(std::function<void(int resultCode)> finished);
    ~ArchiverProcess() override;
    Q_DISABLE_COPY_MOVE(ArchiverProcess)

    void start(const QString& program, const ArchiverTokens& tokens, const QString& workingFolder);
    // Asks the archiver to end, and kills it when it is still there after
    // StopGraceMs.
    void stop();

private:
    void report(int resultCode);

    std::function<void(int)> m_finished;
    QProcess m_process;
    QTimer m_killTimer;
    bool m_reported = false;
    // Inside start: an end reported now waits for the event loop.
    bool m_starting = false;
};

// The archiver's working folder: the first existing folder of temporary
// files, local application data, documents; with a trailing separator. Empty
// when none exists.
QString GetArchiverWorkingFolder();

} // namespace tessaro
