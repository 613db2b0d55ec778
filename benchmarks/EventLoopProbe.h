#pragma once
#include <QObject>
#include <QTimer>
#include <chrono>

// Fires at every turn of the event loop and keeps the longest time between two
// turns: the program's start before the first and its end after the last are
// not counted.
class EventLoopProbe : public QObject {
public:
    EventLoopProbe();
    double LargestGapMs() const;

private:
    void Turn();

    QTimer m_timer;
    std::chrono::steady_clock::time_point m_last;
    bool m_turned = false;
    std::chrono::steady_clock::duration m_largest{};
};
