#include "ProgramRun.h"

#include "TestFiles.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QTimer>

#include <gtest/gtest.h>

namespace tessaro::test {

namespace {

// A program that has not ended by then is stuck; the test fails instead of
// hanging the suite.
constexpr int runLimitMs = 60000;

} // namespace

ProgramRun::ProgramRun(const QString& programFolder)
{
    m_folder = withSlash(programFolder.isEmpty() ? m_root.filePath(QStringLiteral("program"))
                                                 : programFolder);
    QDir().mkpath(m_folder);
    const QString built = QStringLiteral(TESSARO_PROGRAM);
    m_program = m_folder + QFileInfo(built).fileName();
    EXPECT_TRUE(QFile::copy(built, m_program));
    QFile::setPermissions(m_program,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void ProgramRun::writeConfig(const QByteArray& ini) const
{
    writeFile(m_folder + QStringLiteral("tessaro.ini"), ini);
}

QByteArray ProgramRun::config() const
{
    return readFile(m_folder + QStringLiteral("tessaro.ini"));
}

std::unique_ptr<QProcess> ProgramRun::start(const QProcessEnvironment& extra,
                                            const QStringList& arguments) const
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // Keep the per-user folder inside the test area, whatever happens.
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_root.filePath(QStringLiteral("xdg")));
    // A runtime folder of its own, so that Qt has nothing to say about a
    // missing one on the standard error the tests read.
    const QString runtime = m_root.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(extra);
    process->setProcessEnvironment(environment);
    process->setProgram(m_program);
    process->setArguments(arguments);
    process->setWorkingDirectory(m_root.path());
    process->start();
    if (!process->waitForStarted())
        return nullptr;
    return process;
}

int ProgramRun::run(const QProcessEnvironment& extra, const QStringList& arguments)
{
    m_errorOutput.clear();
    m_standardOutput.clear();
    const std::unique_ptr<QProcess> process = start(extra, arguments);
    if (!process)
        return -1;
    // The event loop serves whatever the test runs meanwhile (a local web
    // server) until the program ends; the limit only stops a stuck program.
    QEventLoop loop;
    QObject::connect(process.get(), &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(runLimitMs, &loop, &QEventLoop::quit);
    if (process->state() != QProcess::NotRunning)
        loop.exec();
    if (process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished();
        ADD_FAILURE() << "the program did not end by itself";
        return -1;
    }
    m_errorOutput = process->readAllStandardError();
    m_standardOutput = process->readAllStandardOutput();
    return process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
}

bool waitForFile(const QString& path)
{
    QFileSystemWatcher watcher({QFileInfo(path).absolutePath()});
    QEventLoop loop;
    QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, &loop, [&] {
        if (QFile::exists(path))
            loop.quit();
    });
    QTimer::singleShot(runLimitMs, &loop, &QEventLoop::quit);
    // The file may have come before the watcher started.
    if (!QFile::exists(path))
        loop.exec();
    return QFile::exists(path);
}

QStringList ProgramRun::rawLogLines() const
{
    QStringList lines;
    const QDir logFolder(m_folder + QStringLiteral("log"));
    for (const QString& name :
         logFolder.entryList({QStringLiteral("*_tessaro.log")}, QDir::Files, QDir::Name)) {
        const QString text = QString::fromUtf8(readFile(logFolder.filePath(name)));
        lines += text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    return lines;
}

QStringList ProgramRun::logLines() const
{
    QStringList lines;
    for (const QString& line : rawLogLines())
        lines.append(line.mid(20));
    return lines;
}

} // namespace tessaro::test
