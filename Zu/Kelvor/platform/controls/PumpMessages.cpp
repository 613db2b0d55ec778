#include "PumpMessages.h"
#include <QCoreApplication>
#include <utility>

namespace {
std::function<void()>& Observer()
{
    static std::function<void()> observer;
    return observer;
}
}

void HbPumpMessages()
{
    if (Observer())
        Observer()();
    QCoreApplication::processEvents();
}

void SetPumpObserver(std::function<void()> observer)
{
    Observer() = std::move(observer);
}
