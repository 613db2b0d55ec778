#pragma once
#include <functional>
#include <utility>

// A process-wide hook for one kind of event: tests and the scenario runner set it to
// watch or act, the program only calls it. Unset, a call does nothing.
template <class Tag, class... Args>
class CHook {
public:
    using Fn = std::function<void(Args...)>;
    static void Set(Fn fn) { Slot() = std::move(fn); }
    static void Call(Args... args)
    {
        if (const Fn& fn = Slot())
            fn(args...);
    }

private:
    static Fn& Slot()
    {
        static Fn fn;
        return fn;
    }
};
