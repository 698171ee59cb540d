#include "ui/SettingsPage.h"

#include "app/CleanupPreview.h"
#include "app/ExtraSettings.h"
#include "core/FileSize.h"
#include "core/LocalDateTime.h"
#include "core/Quoted.h"
#include "ui/AppearanceStyle.h"
#include "ui/AutoCleanControls.h"
#include "ui/MiddleElidedComboBox.h"
#include "ui/RangeSpinBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tessaro {

namespace {

using After = SettingsBinder::After;

} // namespace

SettingsPage::SettingsPage(const PageContext& context, QWidget* parent)
    : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("TabSettings"));
    auto* layout = new QVBoxLayout(this);
    buildGeneralSettings(layout);
    layout->addWidget(makeSeparator(this));
    // The section sits on a panel of its own, so that a pass can lock it as
    // a whole without touching the states its controls have meanwhile.
    auto* autoCleanPanel = makeNamed<QWidget>(this, "AutoCleanPanel");
    auto* autoCleanGrid = new QGridLayout(autoCleanPanel);
    autoCleanGrid->setContentsMargins(QMargins());
    autoCleanGrid->setColumnStretch(2, 1);
    buildAutoClean(autoCleanPanel, autoCleanGrid);
    m_context.controls.add(Control::AutoCleanPanel, autoCleanPanel);
    layout->addWidget(autoCleanPanel);
    layout->addStretch();
}

SettingsPage::~SettingsPage() = default;

void SettingsPage::buildGeneralSettings(QVBoxLayout* layout)
{
    SettingsBinder& binder = m_context.binder;
    auto* checkWebhook =
        makeNamed<QCheckBox>(this, "CheckWebhook", QStringLiteral("Call URL after backup:"));
    auto* editWebhook = makeNamed<QLineEdit>(this, "EditWebhook");
    auto* checkIncludeLog =
        makeNamed<QCheckBox>(this, "CheckIncludeLog", QStringLiteral("Include log data"));
    auto* checkMinimizeToTray =
        makeNamed<QCheckBox>(this, "CheckMinimizeToTray", QStringLiteral("Minimize to tray"));
    CheckExitAfterBackupOnce = makeNamed<QCheckBox>(this, "CheckExitAfterBackupOnce",
                                                    QStringLiteral("Exit program after each ") +
                                                        Quoted(QStringLiteral("Backup once")));
    CheckBackupOnStart =
        makeNamed<QCheckBox>(this, "CheckBackupOnStart",
                             QStringLiteral("Run ") + Quoted(QStringLiteral("Backup once")) +
                                 QStringLiteral(" on program start, minimize "
                                                "afterwards"));

    binder.bindCheck(checkWebhook, &TSettings::CallWebHook, After::UpdateSettings);
    binder.bindText(editWebhook, &TSettings::WebHookURL);
    binder.bindCheck(checkIncludeLog, &TSettings::IncludeLogsInWebHookCall, After::UpdateSettings);
    // Read at every minimize; nothing else depends on it.
    binder.bindCheck(checkMinimizeToTray, &TSettings::MinimizeToTray, After::Nothing);
    bindBackupOnceBoxes();

    // Both follow the webhook box; the settings update keeps them so.
    editWebhook->setEnabled(false);
    checkIncludeLog->setEnabled(false);
    m_context.controls.add(Control::EditWebhook, editWebhook);
    m_context.controls.add(Control::CheckIncludeLog, checkIncludeLog);

    auto* webhook = new QGridLayout;
    webhook->addWidget(checkWebhook, 0, 0);
    webhook->addWidget(editWebhook, 0, 1);
    // Indented below the URL: it only matters while the URL is called.
    webhook->addWidget(checkIncludeLog, 1, 1);
    layout->addLayout(webhook);
    // The appearance shares the first row, so that the page keeps its
    // described height.
    auto* first = new QHBoxLayout;
    first->addWidget(checkMinimizeToTray);
    first->addStretch();
    first->addLayout(buildAppearance());
    layout->addLayout(first);
    for (QWidget* box : {static_cast<QWidget*>(CheckExitAfterBackupOnce),
                         static_cast<QWidget*>(CheckBackupOnStart)})
        layout->addWidget(box);
    buildExtraSettings(layout);
}

void SettingsPage::buildExtraSettings(QVBoxLayout* layout)
{
    const struct
    {
        const char* name;
        const char* caption;
        bool TSettings::*field;
    } boxes[] = {
        {"CheckVerifyArchives", "Test each archive after the backup", &TSettings::VerifyArchives},
        {"CheckWarnWhenOverdue", "Warn when periodic backups are overdue",
         &TSettings::WarnWhenOverdue},
    };
    // Both are read when they matter: at the start of a pass, at each tick.
    auto* row = new QHBoxLayout;
    for (const auto& entry : boxes) {
        auto* box = makeNamed<QCheckBox>(this, entry.name, QString::fromLatin1(entry.caption));
        m_context.binder.bindCheck(box, entry.field, After::Nothing);
        row->addWidget(box);
    }
    row->addStretch();
    layout->addLayout(row);
}

QHBoxLayout* SettingsPage::buildAppearance()
{
    auto* combo = makeNamed<QComboBox>(this, "ComboAppearance");
    const TAppearance appearances[] = {TAppearance::System, TAppearance::Light, TAppearance::Dark};
    for (const TAppearance appearance : appearances)
        combo->addItem(AppearanceName(appearance), int(appearance));
    auto* label = makeNamed<QLabel>(this, "LabelAppearance", QStringLiteral("Appearance:"));
    label->setBuddy(combo);
    SettingsBinder& binder = m_context.binder;
    // Shown and applied at once: at the load, and at every choice.
    binder.addView([combo](const TSettings& settings) {
        combo->setCurrentIndex(combo->findData(int(settings.Appearance)));
        applyAppearance(settings.Appearance);
    });
    connect(combo, &QComboBox::currentIndexChanged, this, [combo, &binder] {
        const auto appearance = TAppearance(combo->currentData().toInt());
        binder.store([appearance](TSettings& settings) { settings.Appearance = appearance; },
                     After::Nothing);
        if (!binder.isFilling())
            applyAppearance(appearance);
    });
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(combo);
    return row;
}

void SettingsPage::bindBackupOnceBoxes()
{
    const struct
    {
        QCheckBox* box;
        bool TSettings::*field;
        QCheckBox* other;
        bool TSettings::*otherField;
    } boxes[] = {
        {CheckExitAfterBackupOnce, &TSettings::ExitAfterBackupOnce, CheckBackupOnStart,
         &TSettings::BackupOnStart},
        {CheckBackupOnStart, &TSettings::BackupOnStart, CheckExitAfterBackupOnce,
         &TSettings::ExitAfterBackupOnce},
    };
    SettingsBinder& binder = m_context.binder;
    for (const auto& spec : boxes) {
        binder.addView(
            [spec](const TSettings& settings) { spec.box->setChecked(settings.*spec.field); });
        // Runs on every change of the box, by the user or by the program;
        // the guard keeps the other box's handler out while this one
        // unticks it.
        connect(spec.box, &QCheckBox::toggled, this, [this, spec, &binder](bool checked) {
            if (binder.isFilling() || m_backupOnceGuard)
                return;
            const QScopedValueRollback guard(m_backupOnceGuard, true);
            spec.other->setChecked(false);
            binder.store(
                [&](TSettings& settings) {
                    settings.*spec.field = checked;
                    settings.*spec.otherField = false;
                },
                After::UpdateSettings);
        });
    }
}

void SettingsPage::buildAutoClean(QWidget* panel, QGridLayout* grid)
{
    ComboAutoCleanDestinationFolders =
        makeNamed<MiddleElidedComboBox>(panel, "ComboAutoCleanDestinationFolders");
    m_autoCleanControls = std::make_unique<AutoCleanControls>(panel);
    const AutoCleanControls& section = *m_autoCleanControls;
    for (QSpinBox* spin : {section.SpinNumFiles, section.SpinDiskUsage})
        spin->setFixedWidth(80);

    const int row = grid->rowCount();
    grid->addWidget(
        makeNamed<QLabel>(panel, "Label1", QStringLiteral("Auto clean settings for destination:")),
        row, 0, 1, 2);
    grid->addWidget(ComboAutoCleanDestinationFolders, row, 2);
    grid->addWidget(section.CheckAutoClean, row + 1, 0, 1, 2);
    grid->addWidget(section.RadioNumFiles, row + 2, 0);
    grid->addWidget(section.SpinNumFiles, row + 2, 1);
    grid->addWidget(section.RadioDiskUsage, row + 3, 0);
    grid->addWidget(section.SpinDiskUsage, row + 3, 1);

    // Enabled only while some rule has a destination folder; the settings
    // update decides from then on.
    const struct
    {
        Control control;
        QWidget* widget;
    } controls[] = {
        {Control::ComboAutoCleanDestinationFolders, ComboAutoCleanDestinationFolders},
        {Control::CheckAutoClean, section.CheckAutoClean},
        {Control::RadioNumFiles, section.RadioNumFiles},
        {Control::RadioDiskUsage, section.RadioDiskUsage},
        {Control::SpinNumFiles, section.SpinNumFiles},
        {Control::SpinDiskUsage, section.SpinDiskUsage},
    };
    for (const auto& entry : controls) {
        entry.widget->setEnabled(false);
        m_context.controls.add(entry.control, entry.widget);
    }

    AutoCleanSettings& autoClean = m_context.logic.autoClean();
    autoClean.attach(*this);
    connect(ComboAutoCleanDestinationFolders, &QComboBox::currentIndexChanged, this,
            [&autoClean] { autoClean.ComboAutoCleanDestinationFoldersChange(); });
    connect(section.CheckAutoClean, &QCheckBox::toggled, this,
            [&autoClean] { autoClean.CheckAutoCleanClick(); });
    connect(section.RadioNumFiles, &QRadioButton::toggled, this, [&autoClean](bool checked) {
        if (checked)
            autoClean.RadioNumFilesClick();
    });
    connect(section.RadioDiskUsage, &QRadioButton::toggled, this, [&autoClean](bool checked) {
        if (checked)
            autoClean.RadioDiskUsageClick();
    });
    // A number typed outside the range is pulled into it when the box
    // loses the focus, which counts as a change and is stored.
    connect(section.SpinNumFiles, &QSpinBox::valueChanged, this,
            [&autoClean] { autoClean.SpinNumFilesChange(); });
    connect(section.SpinDiskUsage, &QSpinBox::valueChanged, this,
            [&autoClean] { autoClean.SpinDiskUsageChange(); });
    buildAutoCleanPreview(panel, grid);
}

void SettingsPage::buildAutoCleanPreview(QWidget* panel, QGridLayout* grid)
{
    const AutoCleanControls& section = *m_autoCleanControls;
    LabelAutoCleanPreview = makeNamed<QLabel>(panel, "LabelAutoCleanPreview");
    TreeAutoCleanPreview = makeNamed<QTreeWidget>(panel, "TreeAutoCleanPreview");
    TreeAutoCleanPreview->setHeaderLabels(
        {QStringLiteral("Archive"), QStringLiteral("Date"), QStringLiteral("Size")});
    TreeAutoCleanPreview->setRootIsDecorated(false);
    // Beside the limits, where the page has room; the full path is in each
    // row's tooltip.
    TreeAutoCleanPreview->setHeaderHidden(true);
    // Long names are cut short rather than pushing date and size out.
    QHeaderView* header = TreeAutoCleanPreview->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    TreeAutoCleanPreview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TreeAutoCleanPreview->setTextElideMode(Qt::ElideMiddle);
    TreeAutoCleanPreview->setFixedHeight(54);
    const int first = grid->rowCount() - 3;
    grid->addWidget(LabelAutoCleanPreview, first, 2);
    grid->addWidget(TreeAutoCleanPreview, first + 1, 2, 2, 1);

    // Connected after the section's own handlers, so the rules hold the new
    // limits by the time the preview reads them. Showing a folder's limits
    // changes several controls; the preview follows once, when all are shown.
    const auto refresh = [this] {
        if (!m_context.logic.autoClean().isFilling())
            refreshAutoCleanPreview();
    };
    connect(ComboAutoCleanDestinationFolders, &QComboBox::currentIndexChanged, this, refresh);
    connect(section.CheckAutoClean, &QCheckBox::toggled, this, refresh);
    connect(section.RadioNumFiles, &QRadioButton::toggled, this, refresh);
    connect(section.RadioDiskUsage, &QRadioButton::toggled, this, refresh);
    connect(section.SpinNumFiles, &QSpinBox::valueChanged, this, refresh);
    connect(section.SpinDiskUsage, &QSpinBox::valueChanged, this, refresh);
    refreshAutoCleanPreview();
}

void SettingsPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Archives come and go with every pass, and the archive format lives on
    // another page.
    refreshAutoCleanPreview();
}

void SettingsPage::refreshAutoCleanPreview()
{
    // Listing a destination folder of many archives takes a while; a hidden
    // page does it when it is shown again.
    if (!isVisible())
        return;
    const SettingsStore& store = m_context.logic.settings();
    const std::vector<TFileEntry> doomed =
        PreviewAutoClean(store.rules(), store.settings(), selectedFolder());
    TreeAutoCleanPreview->clear();
    for (const TFileEntry& entry : doomed) {
        auto* item = new QTreeWidgetItem(
            {QFileInfo(entry.Filename).fileName(),
             LocalDateTime::fromQDateTime(QDateTime::fromMSecsSinceEpoch(entry.Timestamp))
                 .format(u"dd.mm.yyyy hh:MM"),
             FormatFileSize(entry.Size)});
        item->setToolTip(0, entry.Filename);
        TreeAutoCleanPreview->addTopLevelItem(item);
    }
    LabelAutoCleanPreview->setText(
        doomed.empty()
            ? QStringLiteral("Next backup deletes nothing here.")
            : QStringLiteral("Next backup deletes %1 archive(s) here:").arg(doomed.size()));
}

void SettingsPage::setAutoCleanDestinations(const QStringList& folders)
{
    {
        // The first folder is shown below, once, whatever was selected before.
        const QSignalBlocker blocker(ComboAutoCleanDestinationFolders);
        ComboAutoCleanDestinationFolders->clear();
        ComboAutoCleanDestinationFolders->addItems(folders);
        ComboAutoCleanDestinationFolders->setCurrentIndex(folders.isEmpty() ? -1 : 0);
    }
    if (!folders.isEmpty())
        m_context.logic.autoClean().ComboAutoCleanDestinationFoldersChange();
    refreshAutoCleanPreview();
}

QString SettingsPage::selectedFolder() const
{
    return ComboAutoCleanDestinationFolders->currentText();
}

AutoCleanPage SettingsPage::shownPage() const
{
    return m_autoCleanControls->shownPage();
}

void SettingsPage::showPage(const AutoCleanPage& page)
{
    m_autoCleanControls->showPage(page);
}

} // namespace tessaro
