#pragma once

#include "app/MainView.h"
#include "core/BackupRule.h"

#include <QString>

namespace tessaro {

// The limits a rule starts with, before the user chooses any.
inline constexpr int DefaultAutoCleanNumFiles = 10;
inline constexpr int DefaultAutoCleanDiskUsage = 5;

// What an auto clean section shows for one destination folder: the one on
// the Settings page and the one in the rule dialog.
struct AutoCleanPage
{
    // "Auto clean:" is ticked; the limit controls are enabled exactly then.
    bool autoClean = false;
    bool numFilesSelected = false;
    bool diskUsageSelected = false;
    int numFiles = DefaultAutoCleanNumFiles;
    int diskUsage = DefaultAutoCleanDiskUsage;

    friend bool operator==(const AutoCleanPage&, const AutoCleanPage&) = default;
};

// The controls of the auto clean section, as the section's logic sees them.
class AutoCleanSection
{
public:
    virtual ~AutoCleanSection() = default;
    // The folder chosen in the destination drop-down; empty when there is none.
    virtual QString selectedFolder() const = 0;
    virtual AutoCleanPage shownPage() const = 0;
    // Shows the values and enables the limit controls exactly when
    // autoClean is set.
    virtual void showPage(const AutoCleanPage& page) = 0;
};

// The auto clean section of the Settings page: shows the limits of one
// destination folder and writes every change into all rules of that
// folder, which share them.
class AutoCleanSettings final
{
public:
    static constexpr int MinimumLimit = 1;
    static constexpr int MaximumLimit = 1000;

    explicit AutoCleanSettings(TBackupRules& rules) : m_rules(rules) {}
    Q_DISABLE_COPY_MOVE(AutoCleanSettings)

    // The section that shows the limits; its events arrive from then on.
    // It outlives the settings or is never used again once it is gone.
    void attach(AutoCleanSection& section) { m_section = &section; }

    // Shows the limits of the selected folder without changing any rule.
    void ComboAutoCleanDestinationFoldersChange();
    void CheckAutoCleanClick();
    void RadioNumFilesClick() { limitChanged(); }
    void RadioDiskUsageClick() { limitChanged(); }
    void SpinNumFilesChange() { limitChanged(); }
    void SpinDiskUsageChange() { limitChanged(); }
    // Stores what the section shows into the rules of the selected folder.
    void UpdateAutoCleanFromSettings();

    // True while the section is being filled from a rule; the controls'
    // change events must then leave the rules alone.
    bool isFilling() const { return m_filling; }

    // What the section shows for a rule: its mode and its limits within 1
    // to 1000.
    static AutoCleanPage PageOfRule(const TBackupRule& rule);
    // The rule's mode and limits as the page shows them.
    static void StorePage(const AutoCleanPage& page, TBackupRule& rule);
    // What the page shows once "Auto clean:" was ticked or unticked: ticked
    // with no limit chosen limits by file count, unticked chooses none.
    static AutoCleanPage AfterAutoCleanClick(AutoCleanPage page);
    static int ClampLimit(int value);

private:
    void limitChanged();

    TBackupRules& m_rules;
    AutoCleanSection* m_section = nullptr;
    bool m_filling = false;
};

// Lists the destination folders in the section's drop-down and enables its
// controls exactly when there is one.
void ShowAutoCleanDestinations(MainView& view, const TBackupRules& rules);

} // namespace tessaro
