#include "ui/AutoCleanControls.h"

#include "ui/RangeSpinBox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QRadioButton>

namespace tessaro {

namespace {

template <typename Widget>
Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A number typed outside the range is pulled into it when the box loses the
// focus.
RangeSpinBox* limitSpinBox(const char* name, int value, QWidget* parent)
{
    auto* spin = named(new RangeSpinBox(parent), name);
    spin->setRange(AutoCleanSettings::MinimumLimit, AutoCleanSettings::MaximumLimit);
    spin->setValue(value);
    return spin;
}

} // namespace

AutoCleanControls::AutoCleanControls(QWidget* parent)
    : CheckAutoClean(named(new QCheckBox(QStringLiteral("Auto clean:"), parent), "CheckAutoClean")),
      RadioNumFiles(named(new QRadioButton(QStringLiteral("Limit by number of files:"), parent),
                          "RadioNumFiles")),
      RadioDiskUsage(named(new QRadioButton(QStringLiteral("Limit by disk usage (GB):"), parent),
                           "RadioDiskUsage")),
      SpinNumFiles(limitSpinBox("SpinNumFiles", DefaultAutoCleanNumFiles, parent)),
      SpinDiskUsage(limitSpinBox("SpinDiskUsage", DefaultAutoCleanDiskUsage, parent)),
      m_limitGroup(new QButtonGroup(parent))
{
    m_limitGroup->addButton(RadioNumFiles);
    m_limitGroup->addButton(RadioDiskUsage);
}

AutoCleanPage AutoCleanControls::shownPage() const
{
    return {CheckAutoClean->isChecked(), RadioNumFiles->isChecked(), RadioDiskUsage->isChecked(),
            SpinNumFiles->value(), SpinDiskUsage->value()};
}

AutoCleanPage AutoCleanControls::committedPage()
{
    AutoCleanPage page = shownPage();
    page.numFiles = SpinNumFiles->committedValue();
    page.diskUsage = SpinDiskUsage->committedValue();
    return page;
}

void AutoCleanControls::showPage(const AutoCleanPage& page)
{
    CheckAutoClean->setChecked(page.autoClean);
    for (QWidget* limit :
         {static_cast<QWidget*>(RadioNumFiles), static_cast<QWidget*>(RadioDiskUsage),
          static_cast<QWidget*>(SpinNumFiles), static_cast<QWidget*>(SpinDiskUsage)})
        limit->setEnabled(page.autoClean);
    // An exclusive group never lets go of its last choice; deselecting
    // both needs the group opened for a moment.
    m_limitGroup->setExclusive(false);
    RadioNumFiles->setChecked(page.numFilesSelected);
    RadioDiskUsage->setChecked(page.diskUsageSelected);
    m_limitGroup->setExclusive(true);
    SpinNumFiles->setValue(page.numFiles);
    SpinDiskUsage->setValue(page.diskUsage);
}

} // namespace tessaro
