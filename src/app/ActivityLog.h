#pragma once

#include "app/MainView.h"
#include "core/ArchiveJob.h"
#include "core/Clock.h"
#include "core/PathRules.h"

#include <QString>
#include <QStringList>

namespace tessaro {

// The one place every report goes through: each report becomes a
// timestamped line in the capture list, the log view and the month's log
// file. The view may be absent; a failing file write never reaches the
// caller.
class ActivityLog final
{
public:
    ActivityLog(const Clock& clock, MainView* view, PathStyle linkStyle = nativePathStyle());
    Q_DISABLE_COPY_MOVE(ActivityLog)

    void LogWrite(const QString& level, const QString& text);
    void LogInfo(const QString& text) { LogWrite(QStringLiteral("I"), text); }
    void LogWarn(const QString& text) { LogWrite(QStringLiteral("W"), text); }
    void LogError(const QString& text) { LogWrite(QStringLiteral("E"), text); }
    // Logs at level "F", then shows the untrimmed text in a message box.
    void LogFatal(const QString& text);

    // A callback for the archive job and auto clean that forwards to LogWrite.
    TLogProc callback();

    // The folder of the monthly log files, with a trailing separator.
    const QString& logFolder() const { return m_logFolder; }
    void setLogFolder(const QString& folder) { m_logFolder = folder; }

    // Every line since the capture was last started or cleared.
    const QStringList& capture() const { return m_capture; }
    // The capture list as one text: every line followed by CR LF.
    QString captureText() const;
    // A pass starts its capture with the lines carried over to it.
    void startCapture();
    void clearCapture() { m_capture.clear(); }
    // The newest line goes into the next pass's capture too: a line logged
    // between passes that the next pass's report must carry.
    void carryLastLineOver();

    // The current month's log file.
    QString currentLogFileName() const;
    // Opens the current month's log file when it exists.
    void openCurrentLogFile();
    // A click on a link of the log view.
    void LogViewClickHyperlink(const QString& link);

    // Hands a file, folder or web address to the desktop. When no program
    // takes it (none installed for its kind), the user is told: an error
    // line and a message box with the given caption, instead of nothing
    // happening. True when it was opened.
    bool openOrReport(const QString& target, const QString& caption);

private:
    // The line as coloured text runs, with its quoted paths as links.
    void showInView(const QString& line, RgbColor color);

    const Clock& m_clock;
    MainView* m_view;
    PathStyle m_linkStyle;
    QString m_logFolder;
    QStringList m_capture;
    QStringList m_carried;
};

} // namespace tessaro
