#include "ui/MainForm.h"

#include "app/PlatformTexts.h"
#include "app/ProgramInfo.h"
#include "app/TrayToolTip.h"
#include "ui/AboutForm.h"
#include "ui/AccessibleTexts.h"
#include "ui/ActivityLogView.h"
#include "ui/ArchiverPage.h"
#include "ui/BackupPage.h"
#include "ui/FocusOrder.h"
#include "ui/Fonts.h"
#include "ui/HistoryForm.h"
#include "ui/Icons.h"
#include "ui/MainTrayIcon.h"
#include "ui/NavigationBar.h"
#include "ui/PaintThrottle.h"
#include "ui/RuleForm.h"
#include "ui/SchedulePage.h"
#include "ui/SettingsBinder.h"
#include "ui/SettingsPage.h"
#include "ui/StatusTextPanel.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <optional>

namespace tessaro {

namespace {

// The tabs are drawn as flat buttons of 80 x 34 pixels, in the palette's
// colours, so that a dark or high-contrast theme keeps them readable.
const QString tabBarStyle = QStringLiteral(
    "QTabBar::tab { width: 78px; height: 34px; padding: 0px; border: none;"
    " border-right: 2px solid palette(window); background: palette(button);"
    " color: palette(button-text); }"
    "QTabBar::tab:hover { background: palette(midlight); }"
    "QTabBar::tab:selected { background: palette(highlight); color: palette(highlighted-text); }");

// The icon of a message's kind: the logic titles its error messages
// "Error"; a question asks; everything else informs.
QMessageBox::Icon messageIcon(const QString& caption, MessageButtons buttons)
{
    if (buttons != MessageButtons::Ok)
        return QMessageBox::Question;
    return caption == QLatin1String("Error") ? QMessageBox::Critical : QMessageBox::Information;
}

// Page order of MainPageControl.
constexpr Page pageOrder[] = {Page::Backup, Page::Schedule, Page::Settings, Page::Archiver};

} // namespace

DataPaths TMainForm::DefaultDataPaths()
{
    return {QApplication::applicationDirPath(), StartupShutdown::GetLocalAppDataFolder()};
}

TMainForm::TMainForm(const MainWindowSeams& seams, const DataPaths& paths,
                     const WindowSeams& windowSeams, QWidget* parent)
    : QMainWindow(parent), m_logic(std::make_unique<MainWindowLogic>(*this, seams)),
      m_binder(std::make_unique<SettingsBinder>(*m_logic)), m_windowSeams(windowSeams)
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(programIcon());
    setFont(windowFont());
    buildWidgets();
    buildMenus();
    buildTray();
    describeControls(this);
    orderFocusByLayout(this);
    fitToScreen();

    // Named children, so that whoever drives the window can find them.
    for (QTimer* timer : {&StartUpTimer, &TimerSchedule}) {
        timer->setParent(this);
        timer->setObjectName(timer == &StartUpTimer ? QStringLiteral("StartUpTimer")
                                                    : QStringLiteral("TimerSchedule"));
    }
    StartUpTimer.setSingleShot(true);
    StartUpTimer.setInterval(300);
    connect(&StartUpTimer, &QTimer::timeout, this,
            [this] { m_logic->startup().StartUpTimerTimer(); });
    TimerSchedule.setInterval(1000);
    connect(&TimerSchedule, &QTimer::timeout, this, [this] { m_logic->scheduleTick(); });

    // F1 must work wherever the focus is, before any control sees the key.
    qApp->installEventFilter(this);

    m_logic->alerts().setView(this);
    m_logic->ruleResults().setChanged([this] { m_backupPage->refreshRuleMarks(); });
    m_logic->startup().FormCreate(paths);
    m_backupPage->UpdateEditButtons();
    TimerSchedule.start();
}

TMainForm::~TMainForm()
{
    qApp->removeEventFilter(this);
    StartUpTimer.stop();
    TimerSchedule.stop();
    // The pages call into the logic; they go before it does.
    delete takeCentralWidget();
}

void TMainForm::buildWidgets()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_navigationBar = new NavigationBar(
        {*m_logic, *m_binder, m_controls}, [this] { showPage(Page::Settings); }, central);
    layout->addWidget(m_navigationBar);
    layout->addWidget(makeSeparator(central));

    auto* body = new QVBoxLayout;
    body->setContentsMargins(6, 6, 6, 0);
    body->setSpacing(4);
    body->addWidget(buildPages(), 1);
    body->addWidget(buildActivityLogRow());
    LogView = new ActivityLogView(central);
    connect(LogView, &ActivityLogView::linkClicked, this,
            [this](const QString& path) { m_logic->log().LogViewClickHyperlink(path); });
    connect(LogView, &ActivityLogView::openLogFileRequested, this,
            [this] { m_logic->log().openCurrentLogFile(); });
    body->addWidget(LogView);
    layout->addLayout(body, 1);
    setCentralWidget(central);

    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->setSizeGripEnabled(false);
    StatusPanel = new StatusTextPanel(this);
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    // The one panel is 300 pixels wide; as the last panel of the bar it runs
    // on to the bar's end, so a long periodic-run text is not cut off.
    StatusPanel->setMinimumWidth(StatusPanelWidth);
    statusBar()->addWidget(StatusPanel, 1);
    // The running pass's progress sits at the bar's right end, so the
    // texts of the first panel keep their place.
    ProgressPanel = new StatusTextPanel(this);
    ProgressPanel->setObjectName(QStringLiteral("ProgressPanel"));
    ProgressPanel->hide();
    statusBar()->addPermanentWidget(ProgressPanel, 1);
    m_statusPaintThrottle = new PaintThrottle(statusBar());
}

QTabWidget* TMainForm::buildPages()
{
    const PageContext context{*m_logic, *m_binder, m_controls};
    MainPageControl = new QTabWidget;
    MainPageControl->setObjectName(QStringLiteral("MainPageControl"));
    MainPageControl->tabBar()->setStyleSheet(tabBarStyle);
    MainPageControl->tabBar()->setDrawBase(false);
    m_backupPage = new BackupPage(context);
    m_schedulePage = new SchedulePage(context);
    m_settingsPage = new SettingsPage(context);
    m_archiverPage = new ArchiverPage(context);
    const struct
    {
        QWidget* page;
        QString caption;
    } pages[] = {
        {m_backupPage, QStringLiteral("Backup")},
        {m_schedulePage, QStringLiteral("Schedule")},
        {m_settingsPage, QStringLiteral("Settings")},
        {m_archiverPage, platformTexts(m_logic->settings().rules().pathStyle()).archiverTab},
    };
    for (const auto& entry : pages) {
        entry.page->setFont(pageFont());
        // On a screen too small for the window a page scrolls, rather than
        // its controls being squeezed over each other.
        auto* scroll = new QScrollArea;
        scroll->setObjectName(entry.page->objectName() + QStringLiteral("Scroll"));
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setFocusPolicy(Qt::NoFocus);
        scroll->setWidgetResizable(true);
        scroll->setWidget(entry.page);
        scroll->viewport()->setAutoFillBackground(false);
        entry.page->setAutoFillBackground(false);
        MainPageControl->addTab(scroll, entry.caption);
    }
    return MainPageControl;
}

QWidget* TMainForm::buildActivityLogRow()
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(makeNamed<QLabel>(row, "LabelActivityLog", QStringLiteral("Activity log:")));
    layout->addStretch();
    auto* history = makeNamed<QToolButton>(row, "ButtonHistory");
    history->setText(QStringLiteral("History"));
    history->setAutoRaise(true);
    history->setFocusPolicy(Qt::TabFocus);
    history->setCursor(Qt::PointingHandCursor);
    history->setToolTip(QStringLiteral("Show the run history"));
    connect(history, &QToolButton::clicked, this, &TMainForm::showHistory);
    layout->addWidget(history);
    auto* openLog = makeNamed<QToolButton>(row, "Image1");
    openLog->setFixedSize(21, 20);
    openLog->setIconSize(QSize(21, 20));
    openLog->setIcon(logFileIcon());
    openLog->setAutoRaise(true);
    openLog->setFocusPolicy(Qt::TabFocus);
    openLog->setCursor(Qt::PointingHandCursor);
    openLog->setToolTip(QStringLiteral("Open the log file"));
    connect(openLog, &QToolButton::clicked, this, [this] { m_logic->log().openCurrentLogFile(); });
    layout->addWidget(openLog);
    return row;
}

void TMainForm::buildMenus()
{
    BackupPass& pass = m_logic->pass();
    PeriodicRunController& periodic = m_logic->periodic();
    StartupShutdown& startup = m_logic->startup();
    HelpActions& help = m_logic->help();
    const struct
    {
        const char* menu;
        const char* name;
        const char* caption;
        std::function<void()> click;
        // The name the logic knows the item by, for those it enables or renames.
        std::optional<Control> control;
        bool separatorBefore;
    } items[] = {
        {"&Action", "MenuRunOnce", "Run &Once", [&pass] { pass.BackUpOnceNow(); },
         Control::MenuRunOnce, false},
        {"&Action", "MenuStopBackup", "Stop &backup", [&pass] { pass.StopBackupClick(); },
         Control::MenuStopBackup, false},
        {"&Action", "MenuRunPeriodic", "Run &Periodic",
         [&periodic] { periodic.MenuRunPeriodicClick(); }, Control::MenuRunPeriodic, false},
        {"&Action", "MenuSettings", "&Settings", [this] { showPage(Page::Settings); }, std::nullopt,
         true},
        {"&Action", "MenuHistory", "&History", [this] { showHistory(); }, std::nullopt, false},
        {"&Action", "MenuOpenLogFile", "Open &log file",
         [this] { m_logic->log().openCurrentLogFile(); }, std::nullopt, false},
        {"&Action", "MenuExit", "E&xit", [&startup] { startup.ActionExit(); }, std::nullopt, true},
        {"&Help", "MenuHelp", "Hel&p", [&help] { help.Help1Click(); }, std::nullopt, false},
        {"&Help", "MenuHomepage", "&Homepage", [&help] { help.MenuHomepageClick(); }, std::nullopt,
         false},
        {"&Help", "MenuAbout", "&About", [this] { TAboutForm::Execute(this); }, std::nullopt,
         false},
    };
    QMenu* menu = nullptr;
    for (const auto& item : items) {
        const QString title = QString::fromLatin1(item.menu);
        if (!menu || menu->title() != title) {
            menu = menuBar()->addMenu(title);
            menu->setObjectName(QStringLiteral("Menu") + title.mid(1));
        }
        if (item.separatorBefore)
            menu->addSeparator();
        QAction* action = menu->addAction(QString::fromLatin1(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        connect(action, &QAction::triggered, this, item.click);
        if (item.control)
            m_controls.add(*item.control, action);
    }
}

void TMainForm::buildTray()
{
    TrayIcon = new MainTrayIcon(this);
    TrayIcon->setToolTip(trayToolTip());
    connect(TrayIcon, &MainTrayIcon::openRequested, this, &TMainForm::TrayIconClick);
    connect(TrayIcon, &MainTrayIcon::exitRequested, this,
            [this] { m_logic->startup().ActionExit(); });
    connect(TrayIcon, &QSystemTrayIcon::messageClicked, this, &TMainForm::openOnLog);
    connect(TrayIcon, &MainTrayIcon::stopRequested, this,
            [this] { m_logic->pass().StopBackupClick(); });
    m_controls.add(Control::TrayMenuStopBackup, TrayIcon->stopAction());
}

void TMainForm::hideTrayIconUnlessAlerting()
{
    if (TrayIcon->state() != TrayState::Failed)
        TrayIcon->hide();
}

void TMainForm::openOnLog()
{
    TrayIconClick();
    LogView->setFocus();
    // The newest lines, where the failed pass left its errors.
    LogView->verticalScrollBar()->setValue(LogView->verticalScrollBar()->maximum());
}

void TMainForm::showTrayState(TrayState state)
{
    TrayIcon->setState(state);
    refreshTrayToolTip();
    if (state == TrayState::Failed && trayAvailable())
        TrayIcon->show();
    else if (isVisible())
        hideTrayIconUnlessAlerting();
}

void TMainForm::showTrayNotice(const QString& title, const QString& text)
{
    // Without a tray the log and the exit status are what remain.
    if (!trayAvailable())
        return;
    TrayIcon->show();
    TrayIcon->notify(title, text);
}

void TMainForm::showHistory()
{
    auto* form = new THistoryForm(m_logic->history().lastPasses(), this);
    form->show();
}

bool TMainForm::trayAvailable() const
{
    return m_windowSeams.systemTrayAvailable ? m_windowSeams.systemTrayAvailable()
                                             : QSystemTrayIcon::isSystemTrayAvailable();
}

void TMainForm::OnMinimize()
{
    // Without a tray the window would be hidden with no way back, so it
    // stays on the task bar.
    if (!m_logic->settings().settings().MinimizeToTray || !trayAvailable())
        return;
    // Hiding from within the state change confuses some window managers;
    // it happens right after instead.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!isMinimized())
                return;
            hide();
            TrayIcon->show();
        },
        Qt::QueuedConnection);
}

void TMainForm::TrayIconClick()
{
    showNormal();
    hideTrayIconUnlessAlerting();
    raise();
    activateWindow();
}

QRect TMainForm::workArea() const
{
    if (m_windowSeams.availableGeometry)
        return m_windowSeams.availableGeometry();
    const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
    return shown ? shown->availableGeometry() : QRect();
}

void TMainForm::fitToScreen()
{
    const QRect area = workArea();
    if (area.isEmpty())
        return;
    const QSize described(ClientSize.width(), ClientSize.height() + menuBar()->sizeHint().height());
    QSize frame = frameGeometry().size() - geometry().size();
    // Some window managers frame the window without telling its size; a
    // title bar and a border stand in for it there. Only the offscreen
    // platform draws windows without any frame.
    if (frame.isNull() && isVisible() &&
        QGuiApplication::platformName() != QLatin1String("offscreen")) {
        frame = QSize(8, style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this) + 8);
    }
    const QSize size = WindowPlacement::FittedSize(described, frame, area);
    const int shortBy = described.height() - size.height();
    LogView->setFixedHeight(
        std::max(ActivityLogView::LeastHeight, ActivityLogView::Height - shortBy));
    const bool resized = this->size() != size;
    if (resized || minimumSize() != size || maximumSize() != size)
        setFixedSize(size);
    // A window made smaller to fit comes back onto the work area whole; one
    // the user moved partly off while it fits stays where it is.
    const QRect outer(frameGeometry().topLeft(), size + frame);
    if (isVisible() && resized && !area.contains(outer)) {
        move(std::clamp(outer.left(), area.left(),
                        std::max(area.left(), area.right() + 1 - outer.width())),
             std::clamp(outer.top(), area.top(),
                        std::max(area.top(), area.bottom() + 1 - outer.height())));
    }
}

void TMainForm::WMMove()
{
    m_logic->windowMoved(frameGeometry(), isMaximized());
}

void TMainForm::WMSize()
{
    m_logic->windowResized(frameGeometry(), isMaximized());
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    // The window manager frames the window before it shows it; from the
    // first exposure on, the frame is known and counts in the fit.
    if (event->type() == QEvent::Expose && watched == windowHandle())
        QMetaObject::invokeMethod(this, &TMainForm::fitToScreen, Qt::QueuedConnection);
    // Every key event passes here once per widget it travels through; the
    // release of F1 is taken at its first widget of this window and goes
    // no further.
    if (event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (key->key() == Qt::Key_F1 && !key->isAutoRepeat() && widget &&
            widget->window() == this) {
            m_logic->help().Help1Click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (QWindow* window = windowHandle()) {
        // Another screen, another work area.
        connect(window, &QWindow::screenChanged, this, &TMainForm::fitToScreen,
                Qt::UniqueConnection);
    }
    m_logic->startup().FormShow();
    // The frame is known once the window manager has framed the window.
    QMetaObject::invokeMethod(this, &TMainForm::fitToScreen, Qt::QueuedConnection);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (m_quitting) {
        event->accept();
        return;
    }
    // The exit operation decides, and ends the program itself when it may.
    event->ignore();
    m_logic->startup().ActionExit();
}

void TMainForm::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // The tab style names palette colours, which a style sheet resolves when
    // it is set: a new palette (an Appearance choice) needs it set anew.
    if (event->type() == QEvent::PaletteChange && MainPageControl) {
        MainPageControl->tabBar()->setStyleSheet(QString());
        MainPageControl->tabBar()->setStyleSheet(tabBarStyle);
    }
    if (event->type() != QEvent::WindowStateChange)
        return;
    WMSize();
    if (isMinimized())
        OnMinimize();
    else
        // However the window came back, the tray icon is only for a window
        // hidden in the tray, or for a failure not yet made good.
        hideTrayIconUnlessAlerting();
}

void TMainForm::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    WMMove();
    // The window manager frames the window after it is shown; only then is
    // the frame known, and the window may no longer fit with it.
    if (isVisible())
        QMetaObject::invokeMethod(this, &TMainForm::fitToScreen, Qt::QueuedConnection);
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    WMSize();
    if (isVisible())
        QMetaObject::invokeMethod(this, &TMainForm::fitToScreen, Qt::QueuedConnection);
}

MessageAnswer TMainForm::showMessage(const QString& text, const QString& caption,
                                     MessageButtons buttons)
{
    QMessageBox box(messageIcon(caption, buttons), caption, text, QMessageBox::NoButton, this);
    // A path or an address in a message is there to be copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    if (buttons == MessageButtons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return MessageAnswer::Ok;
    }
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(buttons == MessageButtons::YesNoDefaultNo ? QMessageBox::No
                                                                   : QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

void TMainForm::setControlEnabled(Control control, bool enabled)
{
    m_controls.setEnabled(control, enabled);
    refreshTrayToolTip();
}

void TMainForm::setControlText(Control control, const QString& text)
{
    m_controls.setText(control, text);
}

void TMainForm::setStatusText(const QString& text)
{
    // The periodic run's tick sets both panels every second, mostly to what
    // they show already: only a change is painted.
    if (text == StatusPanel->text())
        return;
    m_statusPaintThrottle->changed();
    StatusPanel->setText(text);
    refreshTrayToolTip();
}

void TMainForm::setPassProgress(const QString& text)
{
    if (text == ProgressPanel->text())
        return;
    m_statusPaintThrottle->changed();
    ProgressPanel->setText(text);
    // Only between passes does the bar lay itself out again.
    ProgressPanel->setVisible(!text.isEmpty());
    refreshTrayToolTip();
}

void TMainForm::refreshTrayToolTip()
{
    // Called whenever the state the tray shows may have changed: a pass
    // starts or ends (status, controls), a periodic run ticks.
    if (!TrayIcon)
        return;
    const QString text = trayToolTip();
    if (TrayIcon->toolTip() != text)
        TrayIcon->setToolTip(text);
}

QString TMainForm::trayToolTip() const
{
    // A failed pass stays in sight until the next good one; a running pass
    // or the plan tells the rest.
    if (TrayIcon && TrayIcon->state() == TrayState::Failed && !m_logic->pass().isRunning())
        return ProgramName() + QStringLiteral(": last backup failed");
    return TrayToolTipText(m_logic->pass().isRunning(), m_logic->periodic().isActive(),
                           m_logic->periodic().nextRun(), ProgressPanel->text());
}

void TMainForm::SetTitleText(const QString& text)
{
    setWindowTitle(text);
}

void TMainForm::showPage(Page page)
{
    const auto* found = std::find(std::begin(pageOrder), std::end(pageOrder), page);
    MainPageControl->setCurrentIndex(int(found - std::begin(pageOrder)));
}

void TMainForm::armStartUpTimer()
{
    StartUpTimer.start();
}

QString TMainForm::chooseArchiverFile(const QString& current)
{
    return m_archiverPage->chooseArchiverFile(current);
}

bool TMainForm::editRule(TBackupRule& rule, const TBackupRules& rules, const QString& caption)
{
    return TRuleForm::Execute(this, rule, rules, caption);
}

void TMainForm::refreshRuleList()
{
    m_backupPage->refreshRuleList();
}

void TMainForm::refreshSettings()
{
    m_binder->refresh();
}

void TMainForm::setAutoCleanDestinations(const QStringList& folders)
{
    m_settingsPage->setAutoCleanDestinations(folders);
}

ScreenGeometry TMainForm::screenGeometry() const
{
    ScreenGeometry geometry;
    if (m_windowSeams.availableGeometry) {
        const QRect area = m_windowSeams.availableGeometry();
        return {area, area, {area}};
    }
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        geometry.primary = primary->geometry();
        geometry.primaryWorkArea = primary->availableGeometry();
    }
    for (const QScreen* screen : QGuiApplication::screens())
        geometry.screens.append(screen->geometry());
    return geometry;
}

QSize TMainForm::windowSize() const
{
    return frameGeometry().size();
}

void TMainForm::setMinimumWindowSize(const QSize& size)
{
    // The size asked for is the outer one, frame included; the window's
    // own size is fixed, so the minimum never grows it beyond that.
    const QSize frame = frameGeometry().size() - geometry().size();
    setMinimumSize((size - frame).boundedTo(maximumSize()));
}

void TMainForm::setWindowGeometry(const QRect& geometry)
{
    move(geometry.topLeft());
    resize(geometry.size());
    fitToScreen();
}

bool TMainForm::openExternally(const QString& pathOrUrl)
{
    const QUrl url(pathOrUrl);
    const bool isWebOrMail = url.scheme() == QLatin1String("http") ||
                             url.scheme() == QLatin1String("https") ||
                             url.scheme() == QLatin1String("mailto");
    return QDesktopServices::openUrl(isWebOrMail ? url : QUrl::fromLocalFile(pathOrUrl));
}

void TMainForm::processEvents()
{
    QCoreApplication::processEvents();
}

void TMainForm::minimize()
{
    showMinimized();
}

bool TMainForm::displayAttended() const
{
    if (m_windowSeams.displayAttended)
        return m_windowSeams.displayAttended();
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal") &&
           !QGuiApplication::screens().isEmpty();
}

void TMainForm::tellSaveFailed(const QString& text)
{
    if (m_quitting || m_saveFailureShowing || !isVisible() || !displayAttended())
        return;
    m_saveFailureShowing = true;
    // Queued: the save may be a step of a pass, which a box must not hold.
    QTimer::singleShot(0, this, [this, text] { showSaveFailure(text); });
}

void TMainForm::showSaveFailure(const QString& text)
{
    if (m_quitting) {
        m_saveFailureShowing = false;
        return;
    }
    // Another box (the exit question, a rule dialog) goes first.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(500, this, [this, text] { showSaveFailure(text); });
        return;
    }
    showMessage(QStringLiteral("The configuration file could not be saved; changes since the "
                               "last save are not kept.\n\n") +
                    text,
                QStringLiteral("Error"), MessageButtons::Ok);
    m_saveFailureShowing = false;
}

void TMainForm::quit()
{
    m_quitting = true;
    // Queued, so that a quit asked for before the event loop runs still ends it.
    const int status = m_logic->exitStatus();
    QMetaObject::invokeMethod(
        qApp, [status] { QCoreApplication::exit(status); }, Qt::QueuedConnection);
}

void TMainForm::appendText(const QString& text, RgbColor color)
{
    LogView->appendText(text, color);
}

void TMainForm::appendLink(const QString& link)
{
    LogView->appendLink(link);
}

void TMainForm::endLine()
{
    LogView->endLine();
}

} // namespace tessaro
