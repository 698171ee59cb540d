#pragma once

#include "app/PassRecord.h"
#include "core/BackupRule.h"
#include "core/PathRules.h"

#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace tessaro {

// The text of a rule's result code as the window shows it: the archiver's
// exit-code texts, and the job's own reasons for not starting the archiver.
QString ruleResultText(int code);

// How each rule ended in the last pass that ran it, so that the rule list can
// mark the rules whose last run failed. A pass's rules are copies, so a rule
// is known again by its source folder and the destination folder its
// archive went to.
class LastRuleResults final : public PassObserver
{
public:
    explicit LastRuleResults(PathStyle style) : m_style(style) {}
    Q_DISABLE_COPY_MOVE(LastRuleResults)

    void passStarted(PassTrigger) override {}
    void passEnded(const PassRecord& record) override;
    // The passes of an earlier run of the program, oldest first; each pass
    // replaces what an older one said about its rules.
    void takeFrom(const QList<PassRecord>& passes);

    // The rule's last run, if a pass has run it.
    std::optional<RuleRecord> lastRunOf(const TBackupRule& rule) const;
    // "Last run failed: " + the result text + " (" + when + ")", or an empty
    // text when the rule's last run succeeded or is not known.
    QString failureOf(const TBackupRule& rule) const;

    // Called after every pass that changed what is known.
    void setChanged(std::function<void()> changed) { m_changed = std::move(changed); }

private:
    void take(const PassRecord& record);

    PathStyle m_style;
    QList<RuleRecord> m_records;
    std::function<void()> m_changed;
};

} // namespace tessaro
