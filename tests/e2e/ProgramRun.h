#pragma once

#include <QByteArray>
#include <QDir>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class QProcess;

namespace tessaro::test {

// The built program in a folder of its own, which becomes its data folder.
class ProgramRun
{
public:
    // The program goes into programFolder when one is given (a file system
    // of the test's own), otherwise into a folder of the temporary area.
    explicit ProgramRun(const QString& programFolder = QString());

    // Where the copied program lives, with a trailing separator.
    QString folder() const { return m_folder; }
    // A path in the temporary area outside the program's folder.
    QString path(const QString& relative) const
    {
        return QDir::toNativeSeparators(m_root.filePath(relative));
    }

    void writeConfig(const QByteArray& ini) const;
    QByteArray config() const;

    // Runs the program offscreen until it ends by itself; the event loop of
    // the calling thread keeps turning meanwhile (for servers in the test).
    // Returns the exit code, or -1 when it had to be stopped.
    int run(const QProcessEnvironment& extra = QProcessEnvironment(),
            const QStringList& arguments = QStringList());
    // What the last run wrote to its standard error and standard output.
    QByteArray errorOutput() const { return m_errorOutput; }
    QByteArray standardOutput() const { return m_standardOutput; }
    // Starts the program offscreen and returns once it runs; the caller
    // waits for its end. Null when it could not start.
    std::unique_ptr<QProcess> start(const QProcessEnvironment& extra = QProcessEnvironment(),
                                    const QStringList& arguments = QStringList()) const;

    // Every line of the log files without its timestamp.
    QStringList logLines() const;
    // The whole lines, timestamps included.
    QStringList rawLogLines() const;

private:
    QTemporaryDir m_root;
    QString m_folder;
    QString m_program;
    QByteArray m_errorOutput;
    QByteArray m_standardOutput;
};

// Waits in the event loop until the file exists; false when it never came.
bool waitForFile(const QString& path);

} // namespace tessaro::test
