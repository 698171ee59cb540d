#pragma once

#include "app/BackupPass.h"
#include "app/Configuration.h"
#include "app/MainView.h"
#include "app/SettingsStore.h"
#include "core/BackupRule.h"

namespace tessaro {

// Adding, editing and deleting rules from the Backup page: refused while a
// pass runs, done through the rule dialog, and saved at once.
class RuleEditing final
{
public:
    RuleEditing(SettingsStore& settings, const BackupPass& pass, MainView& view,
                Configuration& config);
    Q_DISABLE_COPY_MOVE(RuleEditing)

    void ButtonAddRuleClick();
    // selected: the list position of the selected rule, or -1.
    void ButtonEditRuleClick(qsizetype selected);
    void ButtonDeleteRuleClick(qsizetype selected);
    // A click on the list with no rule selected adds one; a double click
    // on a rule edits it.
    void ListViewClick(qsizetype selected);
    void ListViewDoubleClick(qsizetype selected);

    // Why the rule dialog cannot store the rule, or an empty text: its first
    // invalid part, or a password or exclude masks that the archive job
    // would refuse.
    static QString RuleError(const TBackupRule& rule, PathStyle style);

private:
    // Shows the refusal and returns true while a backup pass runs.
    bool refuseWhileRunning();
    // The rule at the list position, or nullptr after telling the user to
    // select one.
    TBackupRule* selectedRule(qsizetype selected, const QString& missingText,
                              const QString& caption);
    // After a rule was added or edited: spreads its auto clean settings over
    // its folder and shows the list and the settings anew.
    void ruleListChanged(const TBackupRule& changed);

    TBackupRules& m_rules;
    const BackupPass& m_pass;
    MainView& m_view;
    Configuration& m_config;
};

} // namespace tessaro
