#include "app/Settings.h"

namespace tessaro {

const std::array<PeriodChoice, 12>& PeriodChoices()
{
    static const std::array<PeriodChoice, 12> choices = {{
        {4, "4 Hours"},
        {6, "6 Hours"},
        {8, "8 Hours"},
        {12, "12 Hours"},
        {24, "Day"},
        {48, "2 Days"},
        {72, "3 Days"},
        {96, "4 Days"},
        {120, "5 Days"},
        {144, "6 Days"},
        {168, "Week"},
        {336, "Two Weeks"},
    }};
    return choices;
}

QString PeriodItemText(int hours)
{
    for (const PeriodChoice& choice : PeriodChoices()) {
        if (choice.hours == hours)
            return QString::fromLatin1(choice.item);
    }
    return {};
}

int PeriodHoursOfItem(const QString& item)
{
    for (const PeriodChoice& choice : PeriodChoices()) {
        if (item == QLatin1String(choice.item))
            return choice.hours;
    }
    return 4;
}

bool IsKnownPeriod(int hours)
{
    return !PeriodItemText(hours).isEmpty();
}

} // namespace tessaro
