#include "app/AutoCleanSettings.h"

#include <QScopedValueRollback>

#include <algorithm>

namespace tessaro {

int AutoCleanSettings::ClampLimit(int value)
{
    return std::clamp(value, MinimumLimit, MaximumLimit);
}

AutoCleanPage AutoCleanSettings::PageOfRule(const TBackupRule& rule)
{
    AutoCleanPage page;
    page.autoClean = rule.AutoCleanMode != acmOff;
    page.numFilesSelected = rule.AutoCleanMode == acmNumFiles;
    page.diskUsageSelected = rule.AutoCleanMode == acmDiskUsage;
    page.numFiles = ClampLimit(rule.NumFiles);
    page.diskUsage = ClampLimit(rule.DiskUsage);
    return page;
}

void AutoCleanSettings::ComboAutoCleanDestinationFoldersChange()
{
    if (!m_section)
        return;
    const QScopedValueRollback filling(m_filling, true);
    if (const TBackupRule* rule = m_rules.RuleByDestinationFolder(m_section->selectedFolder()))
        m_section->showPage(PageOfRule(*rule));
}

void AutoCleanSettings::StorePage(const AutoCleanPage& page, TBackupRule& rule)
{
    rule.AutoCleanMode = !page.autoClean         ? acmOff
                         : page.numFilesSelected ? acmNumFiles
                                                 : acmDiskUsage;
    // The limits are kept whatever the mode, so switching auto clean back on
    // brings them back.
    rule.NumFiles = page.numFiles;
    rule.DiskUsage = page.diskUsage;
}

AutoCleanPage AutoCleanSettings::AfterAutoCleanClick(AutoCleanPage page)
{
    if (page.autoClean) {
        if (!page.numFilesSelected && !page.diskUsageSelected)
            page.numFilesSelected = true;
    } else {
        page.numFilesSelected = false;
        page.diskUsageSelected = false;
    }
    return page;
}

void AutoCleanSettings::CheckAutoCleanClick()
{
    if (m_filling || !m_section)
        return;
    m_section->showPage(AfterAutoCleanClick(m_section->shownPage()));
    UpdateAutoCleanFromSettings();
}

void AutoCleanSettings::limitChanged()
{
    if (!m_filling)
        UpdateAutoCleanFromSettings();
}

void AutoCleanSettings::UpdateAutoCleanFromSettings()
{
    if (!m_section)
        return;
    TBackupRule* rule = m_rules.RuleByDestinationFolder(m_section->selectedFolder());
    if (!rule)
        return;
    StorePage(m_section->shownPage(), *rule);
    m_rules.UpdateAutoCleanRules(*rule);
}

void ShowAutoCleanDestinations(MainView& view, const TBackupRules& rules)
{
    // The controls are enabled before the first folder is shown, so that
    // showing a folder with auto clean off can disable its limits again.
    const QStringList folders = rules.GetDestinationFolders();
    const bool haveFolders = !folders.isEmpty();
    for (const Control control :
         {Control::CheckAutoClean, Control::RadioNumFiles, Control::RadioDiskUsage,
          Control::SpinNumFiles, Control::SpinDiskUsage, Control::ComboAutoCleanDestinationFolders})
        view.setControlEnabled(control, haveFolders);
    view.setAutoCleanDestinations(folders);
}

} // namespace tessaro
