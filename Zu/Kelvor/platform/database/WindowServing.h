#pragma once
#include <QMetaObject>
#include <functional>

// While one lives (a deletion run: its controls are disabled), the database layer
// serves the window whenever its event loop has not turned for kInterval: after
// any statement, from inside an SQLite statement that runs long and while a
// caller waits for its statement thread. Outside a run no statement serves the
// window, so that nothing but the program's own pumps decide when events are
// handled.
class CWindowServing {
public:
    CWindowServing();
    ~CWindowServing();
    CWindowServing(const CWindowServing&) = delete;
    CWindowServing& operator=(const CWindowServing&) = delete;

    // The one way the window is served, whoever asks (the program's pumps, a lock
    // wait, the checks below): every waiting event is handled, except, while a run
    // goes on, the user's input. That waits for the run's end, so that a run's
    // window only paints and moves; closing it is refused anyway (CDialog::SetBusy).
    static void Serve();
    static void IfDue();
    // From inside a long SQLite statement, after half the interval: the statement's
    // commit at its end writes the pages it changed (tens of milliseconds for a
    // large deletion) without a chance to serve.
    static void IfDueInStatement();
    static bool Active();   // a run goes on
    // While a run goes on, work runs on a thread of its own and the window is served
    // until it is done: a folder removal that waits for the file system (tens of
    // milliseconds on a busy disk) does not freeze it. Otherwise work runs in place.
    static bool WhileServing(const std::function<bool()>& work);

private:
    QMetaObject::Connection m_watch;   // every turn of the loop restarts the interval
};
