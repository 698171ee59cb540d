#include "ui/AccessibleTexts.h"

#include <QWidget>

namespace tessaro {

namespace {

struct AccessibleText
{
    const char* objectName;
    const char* name;
    const char* description;
};

// One table for the main window and the rule dialog: both use the same
// names for the auto clean controls, which mean the same there.
constexpr AccessibleText Texts[] = {
    // Main window
    {"MainPageControl", "Pages", "The Backup, Schedule, Settings and archiver pages"},
    {"NavButtonSettings", "Settings", "Shows the Settings page"},
    {"NavButtonRun", "Run", "Starts periodic backup passes on the schedule"},
    {"NavButtonStop", "Stop", "Stops periodic backup passes"},
    {"NavButtonRunOnce", "Backup Once (Now)", "Runs one backup pass of all rules now"},
    {"LogView", "Activity log",
     "Everything Tessaro did, newest line last. Ctrl+Down and Ctrl+Up move between the paths "
     "in it, Enter opens the selected path"},
    {"Image1", "Open log file", "Opens this month's log file"},
    // Backup page
    {"ListViewBackupRules", "Backup rules",
     "One row per rule: source folder, archive name, destination folder, subfolders"},
    {"ButtonAddRule", "Add", "Adds a backup rule"},
    {"ButtonEditRule", "Edit", "Edits the selected backup rule"},
    {"ButtonDeleteRule", "Delete", "Deletes the selected backup rule"},
    {"ButtonRun", "Run", "Starts periodic backup passes on the schedule"},
    {"ButtonStop", "Stop", "Stops periodic backup passes"},
    {"ButtonRunOnce", "Backup Once (Now)", "Runs one backup pass of all rules now"},
    {"ButtonStopBackup", "Stop backup", "Stops the running backup pass"},
    // Schedule page
    {"EditStartTime", "Start time", "The time of day of the first planned pass"},
    {"ComboRepeat", "Repeat every", "How often planned passes repeat"},
    {"CheckWeekdays", "Weekdays", "The days on which planned passes run"},
    {"ButtonRunOnSchedule", "Run", "Starts periodic backup passes on the schedule"},
    {"ButtonStopOnSchedule", "Stop", "Stops periodic backup passes"},
    // Settings page
    {"CheckWebhook", "Call URL after backup", "Calls a web address after every backup pass"},
    {"EditWebhook", "Webhook URL", "The web address called after every backup pass"},
    {"CheckIncludeLog", "Include log data", "Sends the pass's log lines with the call"},
    {"CheckMinimizeToTray", "Minimize to tray",
     "Minimizing hides the window behind an icon in the notification area"},
    {"CheckExitAfterBackupOnce", "Exit after Backup Once",
     "Ends the program after a Backup Once pass"},
    {"CheckBackupOnStart", "Backup on start", "Runs a backup pass when the program starts"},
    {"CheckVerifyArchives", "Test each archive",
     "Tests every archive a pass makes with the archiver; a failed test counts as an error"},
    {"CheckWarnWhenOverdue", "Warn when overdue",
     "Warns once when no pass without errors has ended for more than one and a half periods"},
    {"ComboAppearance", "Appearance",
     "System follows the desktop's style; Light and Dark set the colours of the program"},
    {"TreeAutoCleanPreview", "Archives the next pass deletes",
     "The archives of the selected folder that the current limits delete at the next pass"},
    {"ComboAutoCleanDestinationFolders", "Auto clean settings for destination",
     "The destination folder whose auto clean settings are shown"},
    {"CheckAutoClean", "Auto clean",
     "Deletes the oldest archives of the destination folder beyond a limit"},
    {"RadioNumFiles", "Limit by number of files", "Keeps at most this many archives"},
    {"RadioDiskUsage", "Limit by disk usage (GB)",
     "Keeps archives up to this many gigabytes in all"},
    {"SpinNumFiles", "Number of files", "The most archives kept, from 1 to 1000"},
    {"SpinDiskUsage", "Disk usage in GB", "The most gigabytes of archives kept, from 1 to 1000"},
    // Archiver page
    {"EditWinRARLocation", "Archiver location", "The full path of the archiver program"},
    {"ButtonBrowseWinRARLocation", "Choose archiver", "Chooses the archiver program file"},
    {"ButtonScanForWinRAR", "Scan", "Searches this computer for the archiver"},
    {"ComboArchiveFormat", "Archive format", "The format of the archives made"},
    {"CheckUpdateMode", "Backup only updated or new files",
     "Adds only new and changed files to an existing archive"},
    {"RadioCompressionBest", "Best compression", "Smallest archives, slowest"},
    {"RadioCompressionGood", "Good compression", "Small archives"},
    {"RadioCompressionNormal", "Normal compression", "The archiver's usual balance"},
    {"RadioCompressionFast", "Fast compression", "Larger archives, faster"},
    {"RadioCompressionFastest", "Fastest compression", "Largest compressed archives, fastest"},
    {"RadioCompressionStore", "Store (no compression)", "Files are stored without compression"},
    {"RadioStorePathsRelative", "Relative paths",
     "Paths in the archive start at the source folder"},
    {"RadioStorePathsFull", "Full paths", "Paths in the archive are full paths"},
    {"RadioStorePathsDrive", "Full paths and drive letter",
     "Paths in the archive are full paths with the drive letter"},
    {"CheckNumThreads", "Number of threads", "Sets how many threads the archiver uses"},
    {"SpinNumThreads", "Threads", "How many threads the archiver uses, from 1 to 64"},
    {"CheckWinRARLogfile", "Write archiver error log file",
     "The archiver writes its error messages to a file"},
    {"EditWinRARLogFile", "Error log file folder", "The folder of the archiver's error log file"},
    {"ButtonBrowseWinRARLogFile", "Choose folder", "Chooses the error log file's folder"},
    // Rule dialog
    {"EditSourceFolder", "Source folder", "The folder backed up into the archive"},
    {"ButtonBrowseSourceFolder", "Choose source folder", "Chooses the source folder"},
    {"EditDestinationFolder", "Destination folder", "The folder the archive is written to"},
    {"ButtonBrowseDestinationFolder", "Choose destination folder",
     "Chooses the destination folder"},
    {"EditDestinationFilename", "Archive name",
     "The archive's file name; #ymd_hns# stands for the date and time of the pass"},
    {"CheckAddDate", "Add date to filename", "Adds the date and time of the pass to the name"},
    {"CheckIncludeSubFolders", "Include subfolders", "Backs up the subfolders too"},
    {"CheckPassword", "Password", "Encrypts the archive with a password"},
    {"EditPassword", "Archive password", "The password the archive is encrypted with"},
    {"EditExcludeMasks", "Exclude",
     "Files and folders left out of the archive: names, wildcard masks or paths below the "
     "source folder, separated by semicolons"},
    {"ButtonOK", "OK", "Stores the rule and closes the dialog"},
    {"ButtonCancel", "Cancel", "Closes the dialog without changes"},
};

} // namespace

void describeControls(QWidget* root)
{
    for (const AccessibleText& text : Texts) {
        const QString objectName = QLatin1String(text.objectName);
        QList<QWidget*> widgets = root->findChildren<QWidget*>(objectName);
        if (root->objectName() == objectName)
            widgets.append(root);
        for (QWidget* widget : widgets) {
            widget->setAccessibleName(QLatin1String(text.name));
            widget->setAccessibleDescription(QLatin1String(text.description));
        }
    }
}

} // namespace tessaro
