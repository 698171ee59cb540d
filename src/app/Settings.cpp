#include "app/Settings.h"

namespace tessaro {

std::array<bool, 7> TSettings::weekdays() const
{
    return {Mondays, Tuesdays, Wednesdays, Thursdays, Fridays, Saturdays, Sundays};
}

void TSettings::setWeekdays(const std::array<bool, 7>& days)
{
    Mondays = days[0];
    Tuesdays = days[1];
    Wednesdays = days[2];
    Thursdays = days[3];
    Fridays = days[4];
    Saturdays = days[5];
    Sundays = days[6];
}

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

QStringList ArchiveFormatValues()
{
    return {QStringLiteral("RAR"), QStringLiteral("RAR4 (Compatible)"), QStringLiteral("ZIP")};
}

QStringList CompressionValues()
{
    return {QStringLiteral("Best"), QStringLiteral("Good"),    QStringLiteral("Normal"),
            QStringLiteral("Fast"), QStringLiteral("Fastest"), QStringLiteral("Store")};
}

QStringList StorePathsValues()
{
    return {QStringLiteral("Relative paths"), QStringLiteral("Full paths"),
            QStringLiteral("Full paths + drive")};
}

} // namespace tessaro
