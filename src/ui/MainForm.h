#pragma once

#include "app/MainView.h"
#include "app/MainWindowLogic.h"
#include "app/PassAlerts.h"
#include "app/StartupShutdown.h"
#include "ui/ControlRegistry.h"

#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <memory>

class QLabel;
class QTabWidget;
class QToolButton;

namespace tessaro {

class ActivityLogView;
class ArchiverPage;
class BackupPage;
class MainTrayIcon;
class NavigationBar;
class PaintThrottle;
class SchedulePage;
class SettingsBinder;
class SettingsPage;
class StatusTextPanel;

// What the window takes from the desktop; empty members mean the real thing.
struct WindowSeams
{
    // Whether the desktop has a notification area for the tray icon.
    std::function<bool()> systemTrayAvailable;
    // Whether somebody can see and answer a message box the program opens on
    // its own: not on the offscreen or minimal platform, nor without screens.
    std::function<bool()> displayAttended = {};
    // The work area of the one screen, without task bar and panels; the
    // screens' own when empty.
    std::function<QRect()> availableGeometry;
};

// The main window: shows the logic's state, forwards the user's actions to
// it, and hosts the start-up timer and the schedule timer.
class TMainForm final : public QMainWindow, public MainView, public TrayView
{
    Q_OBJECT

public:
    // The client area; the menu bar comes on top.
    static constexpr QSize ClientSize{614, 609};
    static constexpr int StatusPanelWidth = 300;

    explicit TMainForm(const MainWindowSeams& seams = MainWindowSeams(),
                       const DataPaths& paths = DefaultDataPaths(),
                       const WindowSeams& windowSeams = WindowSeams(), QWidget* parent = nullptr);
    ~TMainForm() override;

    // The program's folder and the per-user folder of the platform.
    static DataPaths DefaultDataPaths();

    MainWindowLogic& logic() { return *m_logic; }

    // MainView
    MessageAnswer showMessage(const QString& text, const QString& caption,
                              MessageButtons buttons) override;
    void setControlEnabled(Control control, bool enabled) override;
    void setControlText(Control control, const QString& text) override;
    void setStatusText(const QString& text) override;
    void setPassProgress(const QString& text) override;
    void SetTitleText(const QString& text) override;
    void showPage(Page page) override;
    void armStartUpTimer() override;
    QString chooseArchiverFile(const QString& current) override;
    bool editRule(TBackupRule& rule, const TBackupRules& rules, const QString& caption) override;
    void refreshRuleList() override;
    void refreshSettings() override;
    void setAutoCleanDestinations(const QStringList& folders) override;
    ScreenGeometry screenGeometry() const override;
    QSize windowSize() const override;
    void setMinimumWindowSize(const QSize& size) override;
    void setWindowGeometry(const QRect& geometry) override;
    bool openExternally(const QString& pathOrUrl) override;
    void processEvents() override;
    void minimize() override;
    void quit() override;
    void tellSaveFailed(const QString& text) override;
    void appendText(const QString& text, RgbColor color) override;
    void appendLink(const QString& link) override;
    void endLine() override;

    // TrayView
    QString trayToolTip() const;
    void refreshTrayToolTip();
    void showTrayState(TrayState state) override;
    void showTrayNotice(const QString& title, const QString& text) override;

    // Opens the run history window on the last passes.
    void showHistory();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildWidgets();
    QTabWidget* buildPages();
    QWidget* buildActivityLogRow();
    void buildMenus();
    void buildTray();

    // Minimizing to the tray hides the window and shows the tray icon,
    // where the desktop has a tray; otherwise minimizing is left alone.
    void OnMinimize();
    void TrayIconClick();
    // A click on a notification: the window comes back with its log in view.
    void openOnLog();
    // The icon stays in the tray while it reports a failed pass.
    void hideTrayIconUnlessAlerting();
    // Tell the window placement where the window went.
    void WMMove();
    void WMSize();
    bool trayAvailable() const;
    bool displayAttended() const;
    // The box of a failed save, once no other box is open.
    void showSaveFailure(const QString& text);
    // The described size, menu bar included, or less where the screen's
    // work area is smaller: the window always fits, frame included. The
    // log gives up its height first, the pages scroll.
    void fitToScreen();
    QRect workArea() const;

    std::unique_ptr<MainWindowLogic> m_logic;
    std::unique_ptr<SettingsBinder> m_binder;
    ControlRegistry m_controls;
    WindowSeams m_windowSeams;

    NavigationBar* m_navigationBar = nullptr;
    QTabWidget* MainPageControl = nullptr;
    BackupPage* m_backupPage = nullptr;
    SchedulePage* m_schedulePage = nullptr;
    SettingsPage* m_settingsPage = nullptr;
    ArchiverPage* m_archiverPage = nullptr;
    ActivityLogView* LogView = nullptr;
    StatusTextPanel* StatusPanel = nullptr;
    StatusTextPanel* ProgressPanel = nullptr;
    // A pass of many quick rules changes both panels many times a second.
    PaintThrottle* m_statusPaintThrottle = nullptr;
    MainTrayIcon* TrayIcon = nullptr;
    QTimer StartUpTimer;
    QTimer TimerSchedule;
    // Set once the program is ending, so the close that follows is not
    // taken for a user's request to exit.
    bool m_quitting = false;
    // A box telling of a failed save is on its way: the next failure waits.
    bool m_saveFailureShowing = false;
};

} // namespace tessaro
