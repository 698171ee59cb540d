#pragma once

#include "core/BackupRule.h"

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

namespace tessaro {

enum class MessageButtons
{
    Ok,
    YesNo,
    // A question whose Yes deletes something: No is the default button, so
    // a hasty Enter keeps things as they are.
    YesNoDefaultNo,
};

enum class MessageAnswer
{
    Ok,
    Yes,
    No,
};

// The controls and panels whose state the window's logic decides, named as
// the window names them.
enum class Control
{
    // The three backup-once controls.
    ButtonRunOnce,
    NavButtonRunOnce,
    MenuRunOnce,
    // "Stop backup" beside "Backup Once (Now)", in the main and the tray menu.
    ButtonStopBackup,
    MenuStopBackup,
    TrayMenuStopBackup,
    // The panel holding every control of the Schedule page.
    SchedulePagePanel,
    // Periodic run controls.
    NavButtonRun,
    ButtonRun,
    ButtonRunOnSchedule,
    NavButtonStop,
    ButtonStop,
    ButtonStopOnSchedule,
    MenuRunPeriodic,
    EditStartTime,
    ComboRepeat,
    CheckWeekdays,
    LabelScheduleInfo,
    // Settings whose enabled state follows other settings.
    EditWebhook,
    CheckIncludeLog,
    SpinNumThreads,
    // Auto clean section of the Settings page, and the panel holding all of
    // it.
    AutoCleanPanel,
    CheckAutoClean,
    RadioNumFiles,
    RadioDiskUsage,
    SpinNumFiles,
    SpinDiskUsage,
    ComboAutoCleanDestinationFolders,
};

// A colour as 0xRRGGBB. The logic stays free of the GUI library, so it does
// not use QColor.
using RgbColor = quint32;

// The four pages of the main window.
enum class Page
{
    Backup,
    Settings,
    Archiver,
    Schedule,
};

// Where the activity log shows its lines: coloured text runs on white, link
// runs, and the end of a line.
class LogViewSink
{
public:
    virtual ~LogViewSink() = default;
    virtual void appendText(const QString& text, RgbColor color) = 0;
    virtual void appendLink(const QString& link) = 0;
    // Ends the line and scrolls so that it is visible.
    virtual void endLine() = 0;
};

// The screens the window may be placed on.
struct ScreenGeometry
{
    QRect primary;
    // The primary screen without the task bar or panels.
    QRect primaryWorkArea;
    QList<QRect> screens;
};

// Everything the window's logic asks of the window. The widgets implement
// it; tests hand in a fake.
class MainView : public LogViewSink
{
public:
    virtual MessageAnswer showMessage(const QString& text, const QString& caption,
                                      MessageButtons buttons) = 0;
    virtual void setControlEnabled(Control control, bool enabled) = 0;
    // Caption of a menu item or text of a label.
    virtual void setControlText(Control control, const QString& text) = 0;
    // First panel of the status bar.
    virtual void setStatusText(const QString& text) = 0;
    // Which rule a running pass archives, since when; empty while idle. The
    // status bar and the tray's tool tip show it.
    virtual void setPassProgress(const QString& text) = 0;

    // The window's caption.
    virtual void SetTitleText(const QString& text) = 0;
    virtual void showPage(Page page) = 0;
    // Starts the one-shot timer of the start-up step.
    virtual void armStartUpTimer() = 0;
    // Lets the user pick the archiver's program file, starting from the
    // given text. Empty when the dialog was cancelled.
    virtual QString chooseArchiverFile(const QString& current) = 0;

    // Opens the rule dialog on the rule with the given caption; rules is the
    // main list, for the dialog to look up other rules of a folder. True
    // when the user confirmed, with the rule then holding the edit.
    virtual bool editRule(TBackupRule& rule, const TBackupRules& rules, const QString& caption) = 0;

    // Shows the rule list anew from the logic's rules, keeping the selected
    // rule selected while it is still in the list.
    virtual void refreshRuleList() = 0;
    // Shows every setting control anew from the settings record.
    virtual void refreshSettings() = 0;
    // Fills the auto clean destination drop-down and, when there is at least
    // one folder, selects the first and shows its auto clean settings.
    virtual void setAutoCleanDestinations(const QStringList& folders) = 0;

    virtual ScreenGeometry screenGeometry() const = 0;
    virtual QSize windowSize() const = 0;
    virtual void setMinimumWindowSize(const QSize& size) = 0;
    virtual void setWindowGeometry(const QRect& geometry) = 0;

    // Opens a file, folder or web address with the desktop's default handler.
    virtual bool openExternally(const QString& pathOrUrl) = 0;
    // Lets pending window events run.
    virtual void processEvents() = 0;
    virtual void minimize() = 0;
    // Ends the event loop and with it the program.
    virtual void quit() = 0;
    // A configuration file write failed: tells the user when a window is
    // there to tell it in, without holding what runs meanwhile.
    virtual void tellSaveFailed(const QString& text) = 0;
};

} // namespace tessaro
