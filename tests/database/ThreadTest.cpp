// The statement thread and the serving of the window, on their own: the hand-overs
// a run makes thousands of times, and what goes wrong in them.
#include "DBException.h"
#include "StatementThread.h"
#include "WindowServing.h"
#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Longer than the serving interval: the window is due again after it.
constexpr auto kIdle = 60ms;

// Each work runs on the thread, in the order handed over; what it throws reaches
// its caller with its type and text, and the thread goes on with the next work.
TEST(StatementThread, RunsEachWorkInTurnAndCarriesBackWhatItThrows)
{
    CStatementThread thread;
    std::vector<std::string> events;   // the caller waits while a work runs
    const std::thread::id caller = std::this_thread::get_id();
    for (const std::string work : {"first", "second!", "third", "fourth!"}) {
        std::string thrown = "nothing";
        try {
            thread.Run([&] {
                events.push_back(work + (std::this_thread::get_id() == caller ? " in place" : ""));
                if (work.ends_with('!'))
                    throw CDBException(work + " failed");
            });
        } catch (const CDBException& e) {
            thrown = e.ErrorText();
        }
        events.push_back(thrown);
    }
    EXPECT_EQ(events, (std::vector<std::string>{"first", "nothing", "second!", "second! failed", "third", "nothing",
                                                "fourth!", "fourth! failed"}));
}

// During a run the caller serves the window while it waits; work handed over from
// an event served meanwhile runs after the work waited for, and each caller gets
// its answer. Going right after work, the thread ends at once.
TEST(StatementThread, WorkHandedOverFromAServedEventRunsAfterTheWorkWaitedFor)
{
    std::optional<CStatementThread> thread(std::in_place);
    std::vector<std::string> events;   // one side adds while the other waits for it
    std::atomic<bool> served = false;
    {
        const CWindowServing run;
        QTimer::singleShot(0, [&] {
            events.push_back("served");
            served = true;
            thread->Run([&] { events.push_back("inner"); });
            events.push_back("inner answered");
        });
        thread->Run([&] {
            const auto until = std::chrono::steady_clock::now() + 5s;
            while (!served && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(1ms);
            events.push_back("outer");
        });
        events.push_back("outer answered");
    }
    const auto stopping = std::chrono::steady_clock::now();
    thread.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - stopping, 1s);
    EXPECT_EQ(events, (std::vector<std::string>{"served", "outer", "inner", "inner answered", "outer answered"}));
}

// The window is served only during a run, and only once the loop has not turned
// for the interval; outside a run work that may wait long runs in place, during a
// run on a thread of its own with the window served meanwhile.
TEST(WindowServing, ServesOnlyDuringARunAndOnlyWhenDue)
{
    struct Case {
        const char* name;
        bool run;
        std::chrono::milliseconds idle;
        bool served;
    };
    const Case cases[] = {
        {"outside a run", false, kIdle, false},
        {"in a run, just served", true, 0ms, false},
        {"in a run, idle", true, kIdle, true},
    };
    for (const Case& c : cases) {
        std::optional<CWindowServing> run;
        if (c.run)
            run.emplace();
        bool handled = false;
        QMetaObject::invokeMethod(QCoreApplication::instance(), [&handled] { handled = true; }, Qt::QueuedConnection);
        std::this_thread::sleep_for(c.idle);
        CWindowServing::IfDue();
        EXPECT_EQ(handled, c.served) << c.name;
        EXPECT_EQ(CWindowServing::Active(), c.run) << c.name;
        CWindowServing::Serve();   // whoever asks directly is always served
        EXPECT_TRUE(handled) << c.name;

        bool servedMeanwhile = false;
        QMetaObject::invokeMethod(QCoreApplication::instance(), [&] { servedMeanwhile = true; }, Qt::QueuedConnection);
        std::thread::id worker;
        EXPECT_TRUE(CWindowServing::WhileServing([&] {
            worker = std::this_thread::get_id();
            std::this_thread::sleep_for(kIdle * 2);
            return true;
        }));
        EXPECT_EQ(worker != std::this_thread::get_id(), c.run) << c.name;
        EXPECT_EQ(servedMeanwhile, c.run) << c.name;
        CWindowServing::Serve();
    }
}

} // namespace
