#pragma once

#include "core/LocalDateTime.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tessaro {

// What started a backup pass.
enum class PassTrigger
{
    StartUp,
    Button,
    Schedule,
    // "Back up this rule now": a pass of one rule.
    Rule,
};

// "start-up", "button", "schedule" or "rule": the word the run history
// stores.
QString passTriggerName(PassTrigger trigger);
// The trigger a stored word names; false when it names none.
bool passTriggerFromName(const QString& name, PassTrigger* trigger);

// How one rule of a pass ended.
struct RuleRecord
{
    QString source;
    // The archive job's result code; 0 is success.
    int result = 0;
    QString archive;
    // Size of the archive in bytes, 0 when there is none.
    qint64 size = 0;
    qint64 seconds = 0;
    // When the rule's job began, and when its last log line was written;
    // its log lines lie in between.
    LocalDateTime start;
    LocalDateTime end;
    // The month's log file its lines went to.
    QString logFile;
    // The rule's exclusion masks as the user typed them; none when the
    // archive left nothing out on purpose.
    QStringList excluded;

    bool failed() const { return result != 0; }
    friend bool operator==(const RuleRecord&, const RuleRecord&) = default;
};

// One backup pass from "backup: start" to its end.
struct PassRecord
{
    LocalDateTime start;
    LocalDateTime end;
    PassTrigger trigger = PassTrigger::Button;
    QList<RuleRecord> rules;
    // Stopped before its end: the rules after the stop did not run.
    bool stopped = false;

    int errors() const;
    // The first rule that failed, or nullptr.
    const RuleRecord* firstFailure() const;
    friend bool operator==(const PassRecord&, const PassRecord&) = default;
};

// Told when a pass begins and how it ended, for what follows a pass apart
// from its own log lines: history, tray, overdue watch.
class PassObserver
{
public:
    virtual ~PassObserver() = default;
    virtual void passStarted(PassTrigger trigger) = 0;
    virtual void passEnded(const PassRecord& record) = 0;
};

} // namespace tessaro
