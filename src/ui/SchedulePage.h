#pragma once

#include "ui/PageParts.h"

#include <QWidget>

class QComboBox;
class QListWidget;
class QTimeEdit;

namespace tessaro {

// The "Schedule" page: start time, period and weekdays of periodic runs,
// their state, and Run and Stop. The page itself is the panel a backup pass
// disables as a whole.
class SchedulePage final : public QWidget
{
    Q_OBJECT

public:
    SchedulePage(const PageContext& context, QWidget* parent = nullptr);

private:
    void buildStartTime();
    void buildRepeat();
    void buildWeekdays();

    PageContext m_context;
    QTimeEdit* EditStartTime = nullptr;
    QComboBox* ComboRepeat = nullptr;
    QListWidget* CheckWeekdays = nullptr;
};

} // namespace tessaro
