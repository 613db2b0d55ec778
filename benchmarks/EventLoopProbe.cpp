#include "EventLoopProbe.h"
#include <algorithm>

EventLoopProbe::EventLoopProbe()
{
    connect(&m_timer, &QTimer::timeout, this, &EventLoopProbe::Turn);
    m_timer.start(0);
}

void EventLoopProbe::Turn()
{
    const auto now = std::chrono::steady_clock::now();
    if (m_turned)
        m_largest = std::max(m_largest, now - m_last);
    m_last = now;
    m_turned = true;
}

double EventLoopProbe::LargestGapMs() const
{
    return std::chrono::duration<double, std::milli>(m_largest).count();
}
