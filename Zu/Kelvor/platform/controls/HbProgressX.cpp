#include "HbProgressX.h"
#include "WidgetOf.h"
#include <QProgressBar>
#include <utility>

namespace {
std::function<void(int)>& Observer()
{
    static std::function<void(int)> observer;
    return observer;
}
}

void CHbProgressX::SetPercent(int percent)
{
    WidgetOf<QProgressBar>(m_pWidget).setValue(percent);
    if (Observer())
        Observer()(percent);
}

int CHbProgressX::GetPercent() const
{
    return WidgetOf<QProgressBar>(m_pWidget).value();
}

void CHbProgressX::SetObserver(std::function<void(int percent)> observer)
{
    Observer() = std::move(observer);
}
