#include "frmMain.h"

#include "Fonts.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace tessaro {

namespace {

// Links in the log view carry the path they show; the scheme keeps Windows
// drive letters from being read as a URL scheme of their own.
const QString linkScheme = QStringLiteral("tessaro-path:");

QString linkHref(const QString& path)
{
    return linkScheme + QString::fromLatin1(QUrl::toPercentEncoding(path));
}

QString pathOfHref(const QUrl& href)
{
    const QString text = href.toString(QUrl::FullyEncoded);
    if (!text.startsWith(linkScheme))
        return {};
    return QUrl::fromPercentEncoding(text.mid(linkScheme.size()).toLatin1());
}

} // namespace

DataPaths TMainForm::DefaultDataPaths()
{
    return {QApplication::applicationDirPath(), StartupShutdown::GetLocalAppDataFolder()};
}

TMainForm::TMainForm(const MainWindowSeams& seams, const DataPaths& paths, QWidget* parent)
    : QMainWindow(parent)
{
    buildWidgets();
    buildMenus();
    m_logic = std::make_unique<MainWindowLogic>(*this, seams);

    StartUpTimer.setSingleShot(true);
    StartUpTimer.setInterval(300);
    connect(&StartUpTimer, &QTimer::timeout, this,
            [this] { m_logic->startup().StartUpTimerTimer(); });
    TimerSchedule.setInterval(1000);
    connect(&TimerSchedule, &QTimer::timeout, this,
            [this] { m_logic->periodic().TimerScheduleTimer(); });

    m_logic->startup().FormCreate(paths);
    TimerSchedule.start();
}

TMainForm::~TMainForm() = default;

void TMainForm::buildWidgets()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    MainPageControl = new QTabWidget(central);
    MainPageControl->setObjectName(QStringLiteral("MainPageControl"));
    MainPageControl->addTab(buildBackupPage(), QStringLiteral("Backup"));
    MainPageControl->addTab(new QWidget(MainPageControl), QStringLiteral("Schedule"));
    MainPageControl->addTab(new QWidget(MainPageControl), QStringLiteral("Settings"));
    MainPageControl->addTab(new QWidget(MainPageControl), QStringLiteral("WinRAR®"));
    registerControl(Control::SchedulePagePanel, MainPageControl->widget(1));
    layout->addWidget(MainPageControl);

    auto* label = new QLabel(QStringLiteral("Activity log:"), central);
    label->setObjectName(QStringLiteral("LabelActivityLog"));
    layout->addWidget(label);

    LogView = new QTextBrowser(central);
    LogView->setObjectName(QStringLiteral("LogView"));
    LogView->setReadOnly(true);
    LogView->setOpenLinks(false);
    LogView->setFont(logViewFont());
    LogView->setFixedHeight(146);
    connect(LogView, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& href) { m_logic->log().LogViewClickHyperlink(pathOfHref(href)); });
    layout->addWidget(LogView);
    setCentralWidget(central);

    StatusPanel = new QLabel(this);
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    StatusPanel->setMinimumWidth(300);
    statusBar()->addWidget(StatusPanel);
}

QWidget* TMainForm::buildBackupPage()
{
    auto* page = new QWidget;
    auto* row = new QHBoxLayout(page);
    const struct
    {
        Control control;
        const char* name;
        const char* caption;
        std::function<void()> click;
    } buttons[] = {
        {Control::ButtonRun, "ButtonRun", "Run",
         [this] {
             m_logic->periodic().ActionRun(true);
         }},
        {Control::ButtonStop, "ButtonStop", "Stop",
         [this] {
             m_logic->periodic().ActionStop();
         }},
        {Control::ButtonRunOnce, "ButtonRunOnce", "Backup Once (Now)",
         [this] {
             m_logic->pass().BackUpOnceNow();
         }},
    };
    for (const auto& spec : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(spec.caption), page);
        button->setObjectName(QString::fromLatin1(spec.name));
        connect(button, &QPushButton::clicked, this, spec.click);
        registerControl(spec.control, button);
        row->addWidget(button);
    }
    row->addStretch();
    return page;
}

void TMainForm::buildMenus()
{
    QMenu* action = menuBar()->addMenu(QStringLiteral("&Action"));
    QAction* runOnce = action->addAction(QStringLiteral("Run &Once"));
    runOnce->setObjectName(QStringLiteral("MenuRunOnce"));
    connect(runOnce, &QAction::triggered, this, [this] { m_logic->pass().BackUpOnceNow(); });
    registerControl(Control::MenuRunOnce, runOnce);
    QAction* periodic = action->addAction(QStringLiteral("&Run Periodic"));
    periodic->setObjectName(QStringLiteral("MenuRunPeriodic"));
    connect(periodic, &QAction::triggered, this,
            [this] { m_logic->periodic().MenuRunPeriodicClick(); });
    registerControl(Control::MenuRunPeriodic, periodic);
    action->addSeparator();
    QAction* exit = action->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("MenuExit"));
    connect(exit, &QAction::triggered, this, [this] { m_logic->startup().ActionExit(); });
}

void TMainForm::registerControl(Control control, QWidget* widget)
{
    m_controls.insert(control, widget);
}

void TMainForm::registerControl(Control control, QAction* action)
{
    m_controls.insert(control, action);
}

MessageAnswer TMainForm::showMessage(const QString& text, const QString& caption,
                                     MessageButtons buttons)
{
    if (buttons == MessageButtons::Ok) {
        QMessageBox::information(this, caption, text, QMessageBox::Ok);
        return MessageAnswer::Ok;
    }
    return QMessageBox::question(this, caption, text, QMessageBox::Yes | QMessageBox::No) ==
                   QMessageBox::Yes
               ? MessageAnswer::Yes
               : MessageAnswer::No;
}

void TMainForm::setControlEnabled(Control control, bool enabled)
{
    QObject* object = m_controls.value(control);
    if (auto* widget = qobject_cast<QWidget*>(object))
        widget->setEnabled(enabled);
    else if (auto* action = qobject_cast<QAction*>(object))
        action->setEnabled(enabled);
}

void TMainForm::setControlText(Control control, const QString& text)
{
    QObject* object = m_controls.value(control);
    if (auto* label = qobject_cast<QLabel*>(object))
        label->setText(text);
    else if (auto* action = qobject_cast<QAction*>(object))
        action->setText(text);
}

void TMainForm::setStatusText(const QString& text)
{
    StatusPanel->setText(text);
}

void TMainForm::SetTitleText(const QString& text)
{
    setWindowTitle(text);
}

void TMainForm::showPage(Page page)
{
    MainPageControl->setCurrentIndex(page == Page::Backup     ? 0
                                     : page == Page::Schedule ? 1
                                     : page == Page::Settings ? 2
                                                              : 3);
}

void TMainForm::armStartUpTimer()
{
    StartUpTimer.start();
}

QString TMainForm::chooseArchiverFile(const QString& current)
{
    return QFileDialog::getOpenFileName(this, QStringLiteral("WinRAR location"), current);
}

bool TMainForm::editRule(TBackupRule&, const TBackupRules&, const QString&)
{
    return false;
}

void TMainForm::refreshRuleList() {}

void TMainForm::refreshSettings() {}

void TMainForm::setAutoCleanDestinations(const QStringList&) {}

ScreenGeometry TMainForm::screenGeometry() const
{
    ScreenGeometry geometry;
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
    setMinimumSize(size);
}

void TMainForm::setWindowGeometry(const QRect& geometry)
{
    move(geometry.topLeft());
    resize(geometry.size());
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

void TMainForm::quit()
{
    m_quitting = true;
    // Queued, so that a quit asked for before the event loop runs still ends it.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void TMainForm::appendText(const QString& text, RgbColor color)
{
    QTextCursor cursor(LogView->document());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setForeground(QColor::fromRgb(color));
    format.setBackground(Qt::white);
    cursor.insertText(text, format);
}

void TMainForm::appendLink(const QString& link)
{
    QTextCursor cursor(LogView->document());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setAnchor(true);
    format.setAnchorHref(linkHref(link));
    format.setForeground(QColor(0x00, 0x00, 0xCC));
    format.setFontUnderline(true);
    cursor.insertText(link, format);
}

void TMainForm::endLine()
{
    QTextCursor cursor(LogView->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    LogView->setTextCursor(cursor);
    LogView->ensureCursorVisible();
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    m_logic->startup().FormShow();
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

} // namespace tessaro
