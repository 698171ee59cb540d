#pragma once

#include "app/AutoCleanSettings.h"
#include "ui/PageParts.h"

#include <QStringList>
#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QTreeWidget;
class QVBoxLayout;

namespace tessaro {

class AutoCleanControls;

// The "Settings" page: the general settings and, below them, the auto
// clean limits of one destination folder at a time.
class SettingsPage final : public QWidget, private AutoCleanSection
{
    Q_OBJECT

public:
    SettingsPage(const PageContext& context, QWidget* parent = nullptr);
    ~SettingsPage() override;

    // Makes the folders the drop-down's items; with at least one, selects
    // the first and shows its limits.
    void setAutoCleanDestinations(const QStringList& folders);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildGeneralSettings(QVBoxLayout* layout);
    // The two backup-once boxes exclude each other.
    void bindBackupOnceBoxes();
    // The opt-in extras: archive test and overdue warning.
    void buildExtraSettings(QVBoxLayout* layout);
    QHBoxLayout* buildAppearance();
    // The auto clean controls and their preview, on the panel.
    void buildAutoClean(QWidget* panel, QGridLayout* grid);
    // The archives the next pass would delete in the selected folder, shown
    // below the limits and refreshed whenever they change.
    void buildAutoCleanPreview(QWidget* panel, QGridLayout* grid);
    void refreshAutoCleanPreview();

    // AutoCleanSection
    QString selectedFolder() const override;
    AutoCleanPage shownPage() const override;
    void showPage(const AutoCleanPage& page) override;

    PageContext m_context;
    // Set while one backup-once box unticks the other, so that the other's
    // handler leaves things to the first.
    bool m_backupOnceGuard = false;

    QCheckBox* CheckExitAfterBackupOnce = nullptr;
    QCheckBox* CheckBackupOnStart = nullptr;
    QComboBox* ComboAutoCleanDestinationFolders = nullptr;
    std::unique_ptr<AutoCleanControls> m_autoCleanControls;
    QLabel* LabelAutoCleanPreview = nullptr;
    QTreeWidget* TreeAutoCleanPreview = nullptr;
};

} // namespace tessaro
