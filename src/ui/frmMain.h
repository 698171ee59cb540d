#pragma once

#include "MainView.h"
#include "MainWindowLogic.h"

#include <QHash>
#include <QMainWindow>
#include <QTimer>

#include <memory>

class QAction;
class QLabel;
class QPushButton;
class QTabWidget;
class QTextBrowser;

namespace tessaro {

// The main window: shows the logic's state, forwards the user's actions to
// it, and hosts the start-up timer and the schedule timer.
class TMainForm final : public QMainWindow, public MainView
{
    Q_OBJECT

public:
    explicit TMainForm(const MainWindowSeams& seams = MainWindowSeams(),
                       const DataPaths& paths = DefaultDataPaths(), QWidget* parent = nullptr);
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
    void appendText(const QString& text, RgbColor color) override;
    void appendLink(const QString& link) override;
    void endLine() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWidgets();
    void buildMenus();
    void registerControl(Control control, QWidget* widget);
    void registerControl(Control control, QAction* action);
    QWidget* buildBackupPage();

    std::unique_ptr<MainWindowLogic> m_logic;
    QTabWidget* MainPageControl = nullptr;
    QTextBrowser* LogView = nullptr;
    QLabel* StatusPanel = nullptr;
    QTimer StartUpTimer;
    QTimer TimerSchedule;
    QHash<Control, QObject*> m_controls;
    // Set once the program is ending, so the close that follows is not
    // taken for a user's request to exit.
    bool m_quitting = false;
};

} // namespace tessaro
