#pragma once

#include "app/ActivityLog.h"
#include "app/Settings.h"
#include "core/BackupRule.h"
#include "core/LocalDateTime.h"

#include <QPoint>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

namespace tessaro {

class TMemIniFile;

// What the configuration file keeps besides the rules.
struct StoredConfiguration
{
    TSettings settings;
    bool firstStart = true;
    // Periodic runs were on when the file was saved.
    bool periodicRun = false;
    LocalDateTime lastBackupTime;
    LocalDateTime lastScheduleRun;
    // Read: the stored top-left corner of the window.
    QPoint windowTopLeft;
    // Written: the window's normal place and whether it was maximized.
    QRect windowPos;
    bool windowMaximized = false;
};

// The configuration file: the INI binding of the rules and the stored
// configuration, read once at start-up and written back whole. Faults of a
// write and what a write did besides writing go to the activity log.
class ConfigFile final
{
public:
    explicit ConfigFile(ActivityLog& log);
    Q_DISABLE_COPY_MOVE(ConfigFile)

    const QString& fileName() const { return m_fileName; }
    void setFileName(const QString& fileName) { m_fileName = fileName; }

    // Reads the rules into rules, which writes the file back, and returns
    // the rest; a window position missing from the file reads as
    // defaultTopLeft. Returns nothing, with the reason in errorText, when
    // the file cannot be opened.
    std::optional<StoredConfiguration> Read(TBackupRules& rules, const QPoint& defaultTopLeft,
                                            QString& errorText);
    // Writes everything. A failure is logged at error level; the previous
    // file then stays whole. Returns whether the file was written.
    bool Write(const TBackupRules& rules, const StoredConfiguration& stored);
    // Creates a file holding "[Settings]" when none exists; errors are ignored.
    void InitConfig();

    // Told of every write that failed, with the text of its log line, after
    // the line: the log may sit on the same full disk and never show it.
    using FailureHandler = std::function<void(const QString& text)>;
    void setFailureHandler(FailureHandler handler) { m_onFailure = std::move(handler); }

private:
    // Logs what a write did besides writing: a copy kept of content it
    // dropped, access taken from other users.
    void reportWriteEffects(const TMemIniFile& ini);
    // Logs why a save failed; always false.
    bool reportSaveFailure(const QString& reason);
    void reportFailure(const QString& text);

    ActivityLog& m_log;
    QString m_fileName;
    FailureHandler m_onFailure;
};

} // namespace tessaro
