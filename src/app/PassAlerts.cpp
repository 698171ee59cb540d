#include "app/PassAlerts.h"

#include "core/Quoted.h"

namespace tessaro {

using namespace Qt::StringLiterals;

void PassAlerts::setView(TrayView* view)
{
    m_view = view;
    if (m_view)
        m_view->showTrayState(m_state);
}

void PassAlerts::setState(TrayState state)
{
    m_state = state;
    if (m_view)
        m_view->showTrayState(state);
}

void PassAlerts::passStarted(PassTrigger)
{
    setState(TrayState::Running);
}

void PassAlerts::passEnded(const PassRecord& record)
{
    if (record.errors() == 0) {
        setState(TrayState::Idle);
        return;
    }
    setState(TrayState::Failed);
    notify(failureTitle(), failureText(record));
}

void PassAlerts::notify(const QString& title, const QString& text)
{
    if (m_view)
        m_view->showTrayNotice(title, text);
}

QString PassAlerts::failureTitle()
{
    return u"Tessaro: backup failed"_s;
}

QString PassAlerts::failureText(const PassRecord& record)
{
    const RuleRecord* first = record.firstFailure();
    const int errors = record.errors();
    return u"%1 of %2 %3 failed, the first for "_s.arg(errors)
               .arg(record.rules.size())
               .arg(record.rules.size() == 1 ? u"rule"_s : u"rules"_s) +
           Quoted(first ? first->source : QString()) + u"."_s;
}

} // namespace tessaro
