#pragma once

#include "app/AutoCleanSettings.h"

class QButtonGroup;
class QCheckBox;
class QRadioButton;
class QWidget;

namespace tessaro {

class RangeSpinBox;

// The controls of an auto clean section, as the rule dialog and the Settings
// page both have them: "Auto clean:", the two limit choices and their
// numbers. Their owner lays them out and connects them; what they show is
// decided by AutoCleanSettings.
class AutoCleanControls final
{
public:
    explicit AutoCleanControls(QWidget* parent);
    Q_DISABLE_COPY_MOVE(AutoCleanControls)

    AutoCleanPage shownPage() const;
    // The page after taking in a number still being typed, as a dialog's OK
    // does before it reads the fields.
    AutoCleanPage committedPage();
    // Shows the page, with the limit controls enabled exactly while auto
    // clean is on.
    void showPage(const AutoCleanPage& page);

    QCheckBox* const CheckAutoClean;
    QRadioButton* const RadioNumFiles;
    QRadioButton* const RadioDiskUsage;
    RangeSpinBox* const SpinNumFiles;
    RangeSpinBox* const SpinDiskUsage;

private:
    QButtonGroup* const m_limitGroup;
};

} // namespace tessaro
