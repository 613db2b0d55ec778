#include "WindowServing.h"
#include "StatementThread.h"
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

// The window is served at least this often while a run goes on.
constexpr auto kInterval = std::chrono::milliseconds(40);

struct State {
    bool serving = false;
    Clock::time_point lastTurn;
};

State& Serving()
{
    static State state;
    return state;
}

void ServeIfIdleFor(Clock::duration interval)
{
    const State& state = Serving();
    if (state.serving && Clock::now() - state.lastTurn >= interval)
        CWindowServing::Serve();
}

} // namespace

CWindowServing::CWindowServing()
{
    const QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() != app->thread())
        return;
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(app->thread()))
        m_watch = QObject::connect(dispatcher, &QAbstractEventDispatcher::awake,
                                   [] { Serving().lastTurn = Clock::now(); });
    Serving() = {true, Clock::now()};
}

CWindowServing::~CWindowServing()
{
    QObject::disconnect(m_watch);
    Serving().serving = false;
}

void CWindowServing::Serve()
{
    // Work handed to another thread runs statements whose progress and busy handlers
    // ask too: only the window's thread serves (and keeps the time of the last turn).
    if (const QCoreApplication* app = QCoreApplication::instance(); app != nullptr && QThread::currentThread() != app->thread())
        return;
    State& state = Serving();
    QCoreApplication::processEvents(state.serving ? QEventLoop::ExcludeUserInputEvents : QEventLoop::AllEvents);
    state.lastTurn = Clock::now();
}

bool CWindowServing::Active()
{
    return Serving().serving;
}

void CWindowServing::IfDue()
{
    ServeIfIdleFor(kInterval);
}

void CWindowServing::IfDueInStatement()
{
    ServeIfIdleFor(kInterval / 2);
}

bool CWindowServing::WhileServing(const std::function<bool()>& work)
{
    if (!Active())
        return work();
    // One thread for all such work of the process, not a thread started per call.
    static CStatementThread thread;
    bool result = false;
    thread.Run([&] { result = work(); });
    return result;
}
