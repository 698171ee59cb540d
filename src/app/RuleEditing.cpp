#include "app/RuleEditing.h"

#include "app/AutoCleanSettings.h"

#include <memory>

using namespace Qt::StringLiterals;

namespace tessaro {

namespace {

const QString errorCaption = u"Error"_s;

} // namespace

RuleEditing::RuleEditing(SettingsStore& settings, const BackupPass& pass, MainView& view,
                         Configuration& config)
    : m_rules(settings.rules()), m_pass(pass), m_view(view), m_config(config)
{}

bool RuleEditing::refuseWhileRunning()
{
    // The list stays as it is while a pass runs, so the pass's log lines and
    // the rules the user sees describe the same rules.
    if (!m_pass.isRunning())
        return false;
    m_view.showMessage(u"You cannot edit rules while a backup process is running"_s, errorCaption,
                       MessageButtons::Ok);
    return true;
}

TBackupRule* RuleEditing::selectedRule(qsizetype selected, const QString& missingText,
                                       const QString& caption)
{
    if (selected < 0 || selected >= m_rules.Count()) {
        m_view.showMessage(missingText, caption, MessageButtons::Ok);
        return nullptr;
    }
    return m_rules.Item(selected);
}

void RuleEditing::ruleListChanged(const TBackupRule& changed)
{
    // The rule's auto clean settings belong to its whole destination folder.
    m_rules.UpdateAutoCleanRules(changed);
    m_view.refreshRuleList();
    m_config.UpdateSettings();
}

void RuleEditing::ButtonAddRuleClick()
{
    if (refuseWhileRunning())
        return;
    auto rule = std::make_unique<TBackupRule>();
    rule->NumFiles = DefaultAutoCleanNumFiles;
    rule->DiskUsage = DefaultAutoCleanDiskUsage;
    rule->IncludeSubFolders = true;
    if (m_view.editRule(*rule, m_rules, u"Add backup rule"_s))
        ruleListChanged(*m_rules.Add(std::move(rule)));
    // Saved after Cancel too, so the file always reflects the window.
    m_config.SaveConfig();
}

void RuleEditing::ButtonEditRuleClick(qsizetype selected)
{
    TBackupRule* target =
        selectedRule(selected, u"Please select the rule you want to edit"_s, u"Edit rule"_s);
    if (!target || refuseWhileRunning())
        return;
    // The dialog edits a copy, so Cancel leaves the listed rule untouched.
    TBackupRule edited;
    target->CopyTo(edited);
    if (m_view.editRule(edited, m_rules, u"Edit backup rule"_s)) {
        edited.CopyTo(*target);
        ruleListChanged(edited);
    }
    m_config.SaveConfig();
}

void RuleEditing::ButtonDeleteRuleClick(qsizetype selected)
{
    const QString caption = u"Delete rule"_s;
    const TBackupRule* target =
        selectedRule(selected, u"Please select the rule you want to delete"_s, caption);
    if (!target || refuseWhileRunning())
        return;
    if (m_view.showMessage(u"Are you sure you want to delete this rule?"_s, caption,
                           MessageButtons::YesNoDefaultNo) != MessageAnswer::Yes)
        return;
    // Looked up again by identity: the question ran an event loop.
    const qsizetype index = m_rules.IndexOf(target);
    if (index >= 0) {
        m_rules.Delete(index);
        m_view.refreshRuleList();
    }
    // The other rules of the folder keep their shared auto clean settings.
    m_config.SaveConfig();
    m_config.UpdateSettings();
}

QString RuleEditing::RuleError(const TBackupRule& rule, PathStyle style)
{
    if (!rule.IsValidSourceFolder(style))
        return u"Please enter a valid source folder"_s;
    if (!rule.IsValidDestinationFolder(style))
        return u"Please enter a valid destination folder"_s;
    if (!rule.IsValidDestinationFilename())
        return u"Please enter a valid destination filename"_s;
    // Refused here already, so the user hears of it while still typing
    // rather than from the log of a failed pass.
    if (rule.HasUnsafePassword())
        return u"The password must not contain "_s + rule.UnsafePasswordCharacter();
    if (rule.HasUnsafeExcludeMasks())
        return u"The exclude masks must not contain a double quote or a control character"_s;
    return {};
}

void RuleEditing::ListViewClick(qsizetype selected)
{
    if (selected < 0)
        ButtonAddRuleClick();
}

void RuleEditing::ListViewDoubleClick(qsizetype selected)
{
    if (selected >= 0)
        ButtonEditRuleClick(selected);
}

} // namespace tessaro
