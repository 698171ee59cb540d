#include "app/PassRecord.h"

#include <algorithm>

namespace tessaro {

namespace {

struct TriggerName
{
    PassTrigger trigger;
    const char* name;
};

constexpr TriggerName triggerNames[] = {
    {PassTrigger::StartUp, "start-up"},
    {PassTrigger::Button, "button"},
    {PassTrigger::Schedule, "schedule"},
    {PassTrigger::Rule, "rule"},
};

} // namespace

QString passTriggerName(PassTrigger trigger)
{
    for (const TriggerName& entry : triggerNames) {
        if (entry.trigger == trigger)
            return QLatin1String(entry.name);
    }
    return {};
}

bool passTriggerFromName(const QString& name, PassTrigger* trigger)
{
    for (const TriggerName& entry : triggerNames) {
        if (name == QLatin1String(entry.name)) {
            *trigger = entry.trigger;
            return true;
        }
    }
    return false;
}

int PassRecord::errors() const
{
    return int(std::count_if(rules.cbegin(), rules.cend(),
                             [](const RuleRecord& rule) { return rule.failed(); }));
}

const RuleRecord* PassRecord::firstFailure() const
{
    const auto it = std::find_if(rules.cbegin(), rules.cend(),
                                 [](const RuleRecord& rule) { return rule.failed(); });
    return it == rules.cend() ? nullptr : &*it;
}

} // namespace tessaro
