#include "ui/SchedulePage.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QTime>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace tessaro {

namespace {

using After = SettingsBinder::After;

const char* const weekdayItems[] = {"Mondays", "Tuesdays",  "Wednesdays", "Thursdays",
                                    "Fridays", "Saturdays", "Sundays"};

} // namespace

SchedulePage::SchedulePage(const PageContext& context, QWidget* parent)
    : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("SchedulePagePanel"));
    m_context.controls.add(Control::SchedulePagePanel, this);
    buildStartTime();
    buildRepeat();
    buildWeekdays();

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft);
    form->addRow(makeNamed<QLabel>(this, "LabelStartTime", QStringLiteral("Start time:")),
                 EditStartTime);
    form->addRow(makeNamed<QLabel>(this, "LabelRepeat", QStringLiteral("Repeat every:")),
                 ComboRepeat);
    form->addRow(makeNamed<QLabel>(this, "LabelWeekdays", QStringLiteral("Weekdays:")),
                 CheckWeekdays);

    auto* info = makeNamed<QLabel>(this, "LabelScheduleInfo");
    info->setAlignment(Qt::AlignCenter);
    m_context.controls.add(Control::LabelScheduleInfo, info);

    auto* buttons = new QHBoxLayout;
    PeriodicRunController& periodic = m_context.logic.periodic();
    const ButtonSpec specs[] = {
        {Control::ButtonRunOnSchedule, "ButtonRunOnSchedule", QStringLiteral("Run"),
         [&periodic] {
             periodic.ActionRun(true);
         }},
        {Control::ButtonStopOnSchedule, "ButtonStopOnSchedule", QStringLiteral("Stop"),
         [&periodic] {
             periodic.ActionStop();
         }},
    };
    for (const ButtonSpec& spec : specs)
        addButton(buttons, this, m_context, spec);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    layout->addWidget(makeSeparator(this));
    layout->addWidget(info);
    layout->addLayout(buttons);
}

void SchedulePage::buildStartTime()
{
    EditStartTime = makeNamed<QTimeEdit>(this, "EditStartTime");
    EditStartTime->setDisplayFormat(QStringLiteral("HH:mm"));
    EditStartTime->setFixedWidth(80);
    m_context.controls.add(Control::EditStartTime, EditStartTime);

    SettingsBinder& binder = m_context.binder;
    binder.addView([this](const TSettings& settings) {
        EditStartTime->setTime(
            QTime(settings.Schedule.StartTimeHour, settings.Schedule.StartTimeMinute));
    });
    connect(EditStartTime, &QTimeEdit::timeChanged, this, [&binder](QTime time) {
        binder.store(
            [time](TSettings& settings) {
                settings.Schedule.StartTimeHour = time.hour();
                settings.Schedule.StartTimeMinute = time.minute();
            },
            After::UpdateSettings);
    });
    // Leaving the field updates the settings as well, changed or not.
    connect(EditStartTime, &QTimeEdit::editingFinished, this,
            [&binder] { binder.store([](TSettings&) {}, After::UpdateSettings); });
}

void SchedulePage::buildRepeat()
{
    ComboRepeat = makeNamed<QComboBox>(this, "ComboRepeat");
    for (const PeriodChoice& choice : PeriodChoices())
        ComboRepeat->addItem(QString::fromLatin1(choice.item), choice.hours);
    ComboRepeat->setFixedWidth(140);
    m_context.controls.add(Control::ComboRepeat, ComboRepeat);

    SettingsBinder& binder = m_context.binder;
    binder.addView([this](const TSettings& settings) {
        ComboRepeat->setCurrentIndex(ComboRepeat->findData(settings.Schedule.PeriodHours));
    });
    connect(ComboRepeat, &QComboBox::currentIndexChanged, this, [this, &binder] {
        const int hours = ComboRepeat->currentData().toInt();
        binder.store([hours](TSettings& settings) { settings.Schedule.PeriodHours = hours; },
                     After::UpdateSettings);
    });
}

void SchedulePage::buildWeekdays()
{
    CheckWeekdays = makeNamed<QListWidget>(this, "CheckWeekdays");
    for (const char* day : weekdayItems) {
        auto* item = new QListWidgetItem(QString::fromLatin1(day), CheckWeekdays);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    CheckWeekdays->setFixedSize(140, CheckWeekdays->sizeHintForRow(0) * 7 + 6);
    m_context.controls.add(Control::CheckWeekdays, CheckWeekdays);

    SettingsBinder& binder = m_context.binder;
    binder.addView([this](const TSettings& settings) {
        const auto days = settings.Schedule.weekdays();
        for (int i = 0; i < CheckWeekdays->count(); ++i)
            CheckWeekdays->item(i)->setCheckState(days[size_t(i)] ? Qt::Checked : Qt::Unchecked);
    });
    connect(CheckWeekdays, &QListWidget::itemChanged, this, [this, &binder] {
        std::array<bool, 7> days{};
        for (int i = 0; i < CheckWeekdays->count(); ++i)
            days[size_t(i)] = CheckWeekdays->item(i)->checkState() == Qt::Checked;
        binder.store([days](TSettings& settings) { settings.Schedule.setWeekdays(days); },
                     After::UpdateSettings);
    });
}

} // namespace tessaro
