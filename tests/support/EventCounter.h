#pragma once

#include <QEvent>
#include <QObject>

namespace tessaro::test {

// Counts the events of one type that reach the objects it is installed on,
// letting every event through.
class EventCounter final : public QObject
{
public:
    explicit EventCounter(QEvent::Type type) : m_type(type) {}

    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == m_type)
            ++count;
        return false;
    }

private:
    QEvent::Type m_type;
};

} // namespace tessaro::test
