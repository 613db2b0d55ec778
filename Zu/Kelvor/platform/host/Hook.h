#pragma once
#include <functional>
#include <utility>

// While one lives, no hook is called: what the program does on a copy of the practice
// (a trial run) is none of the events its watchers wait for on the practice.
class CHooksMuted {
public:
    CHooksMuted() { ++Count(); }
    ~CHooksMuted() { --Count(); }
    CHooksMuted(const CHooksMuted&) = delete;
    CHooksMuted& operator=(const CHooksMuted&) = delete;
    static bool Any() { return Count() > 0; }

private:
    static int& Count()
    {
        static int count = 0;
        return count;
    }
};

// A process-wide hook for one kind of event: tests and the scenario runner set it to
// watch or act, the program only calls it. Unset, a call does nothing.
template <class Tag, class... Args>
class CHook {
public:
    using Fn = std::function<void(Args...)>;
    static void Set(Fn fn) { Slot() = std::move(fn); }
    static void Call(Args... args)
    {
        if (const Fn& fn = Slot(); fn && !CHooksMuted::Any())
            fn(args...);
    }

private:
    static Fn& Slot()
    {
        static Fn fn;
        return fn;
    }
};
