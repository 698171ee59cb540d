#include "ui/ArchiverPage.h"

#include "app/PlatformTexts.h"
#include "ui/RangeSpinBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

namespace tessaro {

namespace {

using After = SettingsBinder::After;

// The radio buttons of a choice: object names in the order of its values.
// Compression shows in two columns of three, the stronger levels first.
const std::pair<const char*, TCompression> compressionRadios[] = {
    {"RadioCompressionBest", TCompression::Best},
    {"RadioCompressionGood", TCompression::Good},
    {"RadioCompressionNormal", TCompression::Normal},
    {"RadioCompressionFast", TCompression::Fast},
    {"RadioCompressionFastest", TCompression::Fastest},
    {"RadioCompressionStore", TCompression::Store},
};

const std::pair<const char*, TStorePaths> storePathRadios[] = {
    {"RadioStorePathsRelative", TStorePaths::Relative},
    {"RadioStorePathsFull", TStorePaths::Full},
    {"RadioStorePathsDrive", TStorePaths::FullWithDrive},
};

} // namespace

ArchiverPage::ArchiverPage(const PageContext& context, QWidget* parent)
    : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("TabArchiver"));
    auto* grid = new QGridLayout(this);
    grid->setColumnStretch(3, 1);
    buildLocation(grid);
    buildFormatAndCompression(grid);
    buildPathsAndThreads(grid);
    buildErrorLog(grid);
    grid->setRowStretch(grid->rowCount(), 1);
}

QWidget* ArchiverPage::withBrowseButton(QLineEdit* edit, const char* buttonName,
                                        std::function<void()> browse, QWidget* extra)
{
    auto* field = new QWidget(this);
    auto* row = new QHBoxLayout(field);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    edit->setParent(field);
    row->addWidget(edit);
    auto* button = makeNamed<QToolButton>(field, buttonName);
    button->setText(QStringLiteral("..."));
    connect(button, &QToolButton::clicked, this, std::move(browse));
    row->addWidget(button);
    if (extra) {
        extra->setParent(field);
        row->addSpacing(4);
        row->addWidget(extra);
    }
    return field;
}

void ArchiverPage::buildLocation(QGridLayout* grid)
{
    EditWinRARLocation = makeNamed<QLineEdit>(this, "EditWinRARLocation");
    m_context.binder.bindText(EditWinRARLocation, &TSettings::WinRARLocation);
    auto* scan = makeNamed<QPushButton>(this, "ButtonScanForWinRAR", QStringLiteral("Scan"));
    ArchiverScan& archiverScan = m_context.logic.scan();
    connect(scan, &QPushButton::clicked, this,
            [&archiverScan] { archiverScan.ButtonScanForWinRARClick(); });
    QWidget* field = withBrowseButton(
        EditWinRARLocation, "ButtonBrowseWinRARLocation",
        [this] {
            const QString chosen = chooseArchiverFile(EditWinRARLocation->text());
            if (!chosen.isEmpty())
                EditWinRARLocation->setText(chosen);
        },
        scan);

    grid->addWidget(makeNamed<QLabel>(this, "LabelWinRARLocation", texts().locationLabel), 0, 0);
    grid->addWidget(field, 0, 1, 1, 3);
}

void ArchiverPage::buildFormatAndCompression(QGridLayout* grid)
{
    auto* format = makeNamed<QComboBox>(this, "ComboArchiveFormat");
    m_context.binder.bindCombo(format, &TSettings::ArchiveFormat);
    grid->addWidget(
        makeNamed<QLabel>(this, "LabelArchiveFormat", QStringLiteral("Archive format:")), 1, 0);
    grid->addWidget(format, 1, 1);
    if (!texts().formatNote.isEmpty()) {
        auto* note = makeNamed<QLabel>(this, "LabelArchiveFormatNote", texts().formatNote);
        note->setWordWrap(true);
        grid->addWidget(note, 1, 2, 1, 2);
    }

    grid->addWidget(makeNamed<QLabel>(this, "LabelCompression", QStringLiteral("Compression:")), 2,
                    0, Qt::AlignTop);
    QList<std::pair<QRadioButton*, TCompression>> radios;
    for (int i = 0; i < int(std::size(compressionRadios)); ++i) {
        const auto& [name, value] = compressionRadios[i];
        auto* radio = makeNamed<QRadioButton>(this, name, EntryOf(value).caption);
        grid->addWidget(radio, 2 + i % 3, 1 + i / 3);
        radios.append({radio, value});
    }
    m_context.binder.bindChoice(radios, &TSettings::Compression);

    auto* update = makeNamed<QCheckBox>(this, "CheckUpdateMode",
                                        QStringLiteral("Backup only updated or new files"));
    m_context.binder.bindCheck(update, &TSettings::UpdateMode, After::UpdateSettings);
    // Set apart from the compression radios above: it is a setting of its own.
    grid->setRowMinimumHeight(5, update->sizeHint().height() + 12);
    grid->addWidget(update, 5, 0, 1, 4, Qt::AlignBottom);
}

void ArchiverPage::buildPathsAndThreads(QGridLayout* grid)
{
    grid->addWidget(makeNamed<QLabel>(this, "LabelStorePaths", QStringLiteral("Store paths:")), 6,
                    0, Qt::AlignTop);
    QList<std::pair<QRadioButton*, TStorePaths>> radios;
    for (int i = 0; i < int(std::size(storePathRadios)); ++i) {
        const auto& [name, value] = storePathRadios[i];
        auto* radio = makeNamed<QRadioButton>(this, name, EntryOf(value).caption);
        grid->addWidget(radio, 6 + i, 1, 1, 3);
        radios.append({radio, value});
        // Paths without drive letters have none to store; a setting from a
        // Windows file still reads, the choice is only not offered.
        if (value == TStorePaths::FullWithDrive &&
            m_context.logic.settings().rules().pathStyle() != PathStyle::Windows)
            radio->hide();
    }
    m_context.binder.bindChoice(radios, &TSettings::StorePaths);

    auto* useThreads =
        makeNamed<QCheckBox>(this, "CheckNumThreads", QStringLiteral("Number of threads:"));
    m_context.binder.bindCheck(useThreads, &TSettings::UseNumThreads, After::UpdateSettings);
    auto* threads = makeNamed<RangeSpinBox>(this, "SpinNumThreads");
    threads->setRange(1, 64);
    threads->setValue(2);
    threads->setFixedWidth(80);
    // Follows "Number of threads:"; the settings update keeps it so.
    threads->setEnabled(false);
    m_context.binder.bindSpin(threads, &TSettings::NumThreads, After::Nothing);
    m_context.controls.add(Control::SpinNumThreads, threads);
    grid->addWidget(useThreads, 9, 0);
    grid->addWidget(threads, 9, 1);
}

void ArchiverPage::buildErrorLog(QGridLayout* grid)
{
    auto* useLogFile = makeNamed<QCheckBox>(this, "CheckWinRARLogfile", texts().errorLogCheck);
    m_context.binder.bindCheck(useLogFile, &TSettings::UseWinRARLogFile, After::Nothing);
    EditWinRARLogFile = makeNamed<QLineEdit>(this, "EditWinRARLogFile");
    m_context.binder.bindText(EditWinRARLogFile, &TSettings::WinRARLogFile);
    QWidget* field = withBrowseButton(EditWinRARLogFile, "ButtonBrowseWinRARLogFile", [this] {
        // The folder dialog lets the user create a new folder.
        const QString folder = QFileDialog::getExistingDirectory(
            this, QStringLiteral("Select Directory"), EditWinRARLogFile->text());
        if (!folder.isEmpty())
            EditWinRARLogFile->setText(QDir::toNativeSeparators(folder));
    });
    grid->addWidget(useLogFile, 10, 0);
    grid->addWidget(field, 10, 1, 1, 3);
}

const PlatformTexts& ArchiverPage::texts() const
{
    return platformTexts(m_context.logic.settings().rules().pathStyle());
}

QString ArchiverPage::chooseArchiverFile(const QString& current)
{
    const QString chosen = QFileDialog::getOpenFileName(this, texts().locationDialogTitle, current);
    return QDir::toNativeSeparators(chosen);
}

} // namespace tessaro
