#pragma once

#include "core/BackupRule.h"
#include "core/PathRules.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tessaro {

class AutoCleanControls;

// The rule dialog: edits one rule for Add or Edit. It lives for one use; the
// caller owns the rule and reads it back after OK.
class TRuleForm final : public QDialog
{
    Q_OBJECT

public:
    explicit TRuleForm(QWidget* parent = nullptr);
    ~TRuleForm() override;

    // Opens a dialog on the rule with the caption. rules is the main list,
    // used only to look up other rules of a destination folder. True after
    // OK, with the rule holding the edit, normalized and valid.
    static bool Execute(QWidget* parent, TBackupRule& rule, const TBackupRules& rules,
                        const QString& caption);

    // Fills every control from fRule.
    void UpdateControls();
    // Stores every control into fRule and normalizes it.
    void UpdateRule();

    // The rule being edited, owned by the caller; the dialog writes into it.
    TBackupRule* fRule = nullptr;
    // The main rule list, read only to find other rules of a destination
    // folder.
    const TBackupRules* fRules = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void addLabelledRow(QGridLayout* grid, const QString& name, const QString& text, QWidget* field,
                        QWidget* extra = nullptr);
    // A folder field with its browse button.
    QLineEdit* addFolderRow(QGridLayout* grid, const QString& name, const QString& text);

    void ButtonOKClick();
    void ButtonCancelClick();
    void CheckAddDateClick(bool checked);
    void CheckPasswordClick(bool checked);
    void CheckAutoCleanClick();
    void EditDestinationFolderChange();

    PathStyle pathStyle() const;

    QLineEdit* EditSourceFolder = nullptr;
    // Says, without blocking OK, that the source folder is not there now.
    QLabel* LabelSourceMissing = nullptr;
    QLineEdit* EditDestinationFolder = nullptr;
    QLineEdit* EditDestinationFilename = nullptr;
    QCheckBox* CheckAddDate = nullptr;
    QCheckBox* CheckIncludeSubFolders = nullptr;
    QCheckBox* CheckPassword = nullptr;
    QLineEdit* EditPassword = nullptr;
    QLineEdit* EditExcludeMasks = nullptr;
    std::unique_ptr<AutoCleanControls> m_autoClean;
    QPushButton* ButtonOK = nullptr;
    QPushButton* ButtonCancel = nullptr;

    // Set while UpdateControls fills the fields, so that filling the
    // destination folder does not look up its rules again.
    bool m_updatingControls = false;
};

} // namespace tessaro
