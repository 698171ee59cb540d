#include "ui/RuleForm.h"

#include "app/RuleEditing.h"
#include "ui/AccessibleTexts.h"
#include "ui/AutoCleanControls.h"
#include "ui/FocusOrder.h"
#include "ui/RangeSpinBox.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tessaro {

namespace {

// The token the archive path expands into the date and time of the pass.
const QString dateToken = u"#ymd_hns#"_s;
const QString errorCaption = u"Error"_s;

template <typename Widget>
Widget* named(Widget* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

// Neither button reacts to Enter: the user confirms by clicking, so a key
// pressed while typing a folder never stores a half-typed rule.
QPushButton* dialogButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* button = named(new QPushButton(caption, parent), name);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

TRuleForm::TRuleForm(QWidget* parent) : QDialog(parent)
{
    buildControls();
    // The described size, taller by the exclusions row and its example, or
    // more where the desktop's font needs it: the dialog grows with its texts
    // instead of cutting them.
    layout()->setSizeConstraint(QLayout::SetMinimumSize);
    resize(minimumSizeHint().expandedTo(QSize(416, 327)));
}

TRuleForm::~TRuleForm() = default;

bool TRuleForm::Execute(QWidget* parent, TBackupRule& rule, const TBackupRules& rules,
                        const QString& caption)
{
    TRuleForm form(parent);
    form.fRules = &rules;
    form.fRule = &rule;
    form.UpdateControls();
    form.setWindowTitle(caption);
    return form.exec() == QDialog::Accepted;
}

void TRuleForm::addLabelledRow(QGridLayout* grid, const QString& name, const QString& text,
                               QWidget* field, QWidget* extra)
{
    const int row = grid->rowCount();
    auto* label = named(new QLabel(text, this), u"Label"_s + name);
    label->setBuddy(field);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1, 1, extra ? 1 : 2);
    if (extra)
        grid->addWidget(extra, row, 2);
}

QLineEdit* TRuleForm::addFolderRow(QGridLayout* grid, const QString& name, const QString& text)
{
    auto* edit = named(new QLineEdit(this), u"Edit"_s + name);
    // Room for a path of some length in the dialog's font, whatever its size.
    edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * 26);
    auto* browse = named(new QToolButton(this), u"ButtonBrowse"_s + name);
    browse->setText(u"..."_s);
    connect(browse, &QToolButton::clicked, this, [this, edit] {
        const QString folder =
            QFileDialog::getExistingDirectory(this, u"Select Directory"_s, edit->text());
        if (!folder.isEmpty())
            edit->setText(QDir::toNativeSeparators(folder));
    });
    addLabelledRow(grid, name, text, edit, browse);
    return edit;
}

void TRuleForm::buildControls()
{
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(6);
    EditSourceFolder = addFolderRow(grid, u"SourceFolder"_s, u"Source folder:"_s);
    LabelSourceMissing = named(new QLabel(this), u"LabelSourceMissing"_s);
    LabelSourceMissing->setWordWrap(true);
    LabelSourceMissing->hide();
    grid->addWidget(LabelSourceMissing, grid->rowCount(), 1, 1, 2);
    EditDestinationFolder = addFolderRow(grid, u"DestinationFolder"_s, u"Destination folder:"_s);
    EditDestinationFilename = named(new QLineEdit(this), u"EditDestinationFilename"_s);
    addLabelledRow(grid, u"DestinationFilename"_s, u"Destination filename:"_s,
                   EditDestinationFilename);

    CheckAddDate = named(new QCheckBox(u"Add date to filename"_s, this), u"CheckAddDate"_s);
    CheckIncludeSubFolders =
        named(new QCheckBox(u"Include subfolders"_s, this), u"CheckIncludeSubFolders"_s);
    int row = grid->rowCount();
    grid->addWidget(CheckAddDate, row, 0);
    grid->addWidget(CheckIncludeSubFolders, row, 1, 1, 2);

    // The password is shown as typed: the user must see what the archive
    // will need to be opened.
    CheckPassword = named(new QCheckBox(u"Password"_s, this), u"CheckPassword"_s);
    EditPassword = named(new QLineEdit(this), u"EditPassword"_s);
    row = grid->rowCount();
    grid->addWidget(CheckPassword, row, 0);
    grid->addWidget(EditPassword, row, 1, 1, 2);

    EditExcludeMasks = named(new QLineEdit(this), u"EditExcludeMasks"_s);
    addLabelledRow(grid, u"ExcludeMasks"_s, u"Exclude:"_s, EditExcludeMasks);
    auto* example = named(new QLabel(u"for example: *.tmp; node_modules; photos/raw"_s, this),
                          u"LabelExcludeExample"_s);
    example->setEnabled(false);
    grid->addWidget(example, grid->rowCount(), 1, 1, 2);

    m_autoClean = std::make_unique<AutoCleanControls>(this);
    row = grid->rowCount();
    grid->addWidget(m_autoClean->CheckAutoClean, row, 0);
    grid->addWidget(m_autoClean->RadioNumFiles, row, 1);
    grid->addWidget(m_autoClean->SpinNumFiles, row, 2);
    grid->addWidget(m_autoClean->RadioDiskUsage, row + 1, 1);
    grid->addWidget(m_autoClean->SpinDiskUsage, row + 1, 2);
    grid->setColumnStretch(1, 1);

    auto* separator = named(new QFrame(this), u"Separator"_s);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);

    ButtonOK = dialogButton(u"ButtonOK"_s, u"OK"_s, this);
    ButtonCancel = dialogButton(u"ButtonCancel"_s, u"Cancel"_s, this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonOK);
    buttons->addWidget(ButtonCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addWidget(separator);
    layout->addLayout(buttons);

    connect(ButtonOK, &QPushButton::clicked, this, &TRuleForm::ButtonOKClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &TRuleForm::ButtonCancelClick);
    connect(CheckAddDate, &QCheckBox::clicked, this, &TRuleForm::CheckAddDateClick);
    connect(CheckPassword, &QCheckBox::clicked, this, &TRuleForm::CheckPasswordClick);
    connect(m_autoClean->CheckAutoClean, &QCheckBox::clicked, this,
            &TRuleForm::CheckAutoCleanClick);
    connect(EditDestinationFolder, &QLineEdit::textChanged, this,
            &TRuleForm::EditDestinationFolderChange);
    connect(EditSourceFolder, &QLineEdit::textChanged, this, [this](const QString& folder) {
        // A drive that is not plugged in now may well be there at backup
        // time, so this is said, not refused.
        const bool missing = !folder.trimmed().isEmpty() && !QFileInfo(folder).isDir();
        LabelSourceMissing->setText(
            missing ? u"This folder does not exist now. The rule can be saved all the same, "
                      u"for example for a drive that is not plugged in."_s
                    : QString());
        LabelSourceMissing->setVisible(missing);
    });

    m_autoClean->showPage(AutoCleanPage{});
    describeControls(this);
    orderFocusByLayout(this);
}

void TRuleForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    ButtonOK->setFocus(Qt::OtherFocusReason);
}

void TRuleForm::keyPressEvent(QKeyEvent* event)
{
    // Escape does not close the dialog: only Cancel and the close box do,
    // so a stray key never throws away a typed rule.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

PathStyle TRuleForm::pathStyle() const
{
    return fRules ? fRules->pathStyle() : nativePathStyle();
}

void TRuleForm::UpdateControls()
{
    if (!fRule)
        return;
    m_updatingControls = true;
    EditSourceFolder->setText(fRule->SourceFolder);
    EditDestinationFolder->setText(fRule->DestinationFolder);
    EditDestinationFilename->setText(fRule->DestinationFilename);
    CheckIncludeSubFolders->setChecked(fRule->IncludeSubFolders);
    CheckPassword->setChecked(fRule->UsePassword);
    EditPassword->setText(fRule->Password);
    EditPassword->setEnabled(fRule->UsePassword);
    EditExcludeMasks->setText(fRule->ExcludeMasks);
    m_autoClean->showPage(AutoCleanSettings::PageOfRule(*fRule));
    m_updatingControls = false;
}

void TRuleForm::UpdateRule()
{
    if (!fRule)
        return;
    fRule->SourceFolder = EditSourceFolder->text();
    fRule->DestinationFolder = EditDestinationFolder->text();
    fRule->DestinationFilename = EditDestinationFilename->text();
    // The date token in the file name is what dates the archive; the flag is
    // only kept in the file, and the dialog always stores it off.
    fRule->IncludeDate = false;
    fRule->IncludeSubFolders = CheckIncludeSubFolders->isChecked();
    fRule->UsePassword = CheckPassword->isChecked();
    fRule->Password = trimControlAndBlanks(EditPassword->text());
    fRule->ExcludeMasks = EditExcludeMasks->text();
    AutoCleanSettings::StorePage(m_autoClean->committedPage(), *fRule);
    fRule->Normalize(pathStyle());
}

void TRuleForm::ButtonOKClick()
{
    if (!fRule)
        return;
    UpdateRule();
    const QString error = RuleEditing::RuleError(*fRule, pathStyle());
    if (error.isEmpty()) {
        accept();
        return;
    }
    // The fields keep what the user typed; the next OK reads them again.
    QMessageBox::critical(this, errorCaption, error, QMessageBox::Ok);
}

void TRuleForm::ButtonCancelClick()
{
    reject();
}

void TRuleForm::CheckAddDateClick(bool checked)
{
    // Appended on every tick, never removed: the user may have edited the
    // name around the token since.
    if (checked)
        EditDestinationFilename->setText(EditDestinationFilename->text() + dateToken);
}

void TRuleForm::CheckPasswordClick(bool checked)
{
    EditPassword->setEnabled(checked);
}

void TRuleForm::CheckAutoCleanClick()
{
    m_autoClean->showPage(AutoCleanSettings::AfterAutoCleanClick(m_autoClean->committedPage()));
}

void TRuleForm::EditDestinationFolderChange()
{
    if (m_updatingControls || !fRule || !fRules)
        return;
    // Auto clean belongs to the destination folder: a folder that other
    // rules already use brings its settings along.
    const QString folder = withTrailingSeparator(EditDestinationFolder->text(), pathStyle());
    const TBackupRule* other = fRules->RuleByDestinationFolder(folder);
    if (!other)
        return;
    fRule->AutoCleanMode = other->AutoCleanMode;
    fRule->NumFiles = other->NumFiles;
    fRule->DiskUsage = other->DiskUsage;
    fRule->DestinationFolder = folder;
    UpdateControls();
}

} // namespace tessaro
