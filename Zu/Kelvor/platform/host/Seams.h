#pragma once
#include "HooksMuted.h"
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

class CDialog;
class IMessageService;

// Every process-wide seam of the program, in one place. The program only reads a
// seam or calls through it; tests and the scenario runner replace one for a while
// with CSeamScope (kelvor_testing), which puts the previous value back when it goes.

// One process-wide value, value-initialised.
template <class T, class Tag> class CSeam {
public:
    using Value = T;
    static T& Slot()
    {
        static T value{};
        return value;
    }
};

// Whom a hook reports to: an event of the practice is not reported while a trial run
// plays on a copy of it (CHooksMuted); the window's events always are.
enum class Reports { Always, PracticeEvents };

// A seam that is a function: unset, a call does nothing.
template <Reports reports, class Tag, class... Args> class CHook : public CSeam<std::function<void(Args...)>, Tag> {
public:
    static void Call(Args... args)
    {
        if (reports == Reports::PracticeEvents && CHooksMuted::Any())
            return;
        if (const auto& fn = CHook::Slot())
            fn(args...);
    }
};

namespace seam {

// Every question and message box: the program installs its Qt service at start-up.
using MessageService = CSeam<IMessageService*, struct MessageServiceTag>;
// The formatted text of every trace entry.
using Trace = CHook<Reports::Always, struct TraceTag, const std::string&>;
// Every statement text handed to the dialog's ExecuteSQL, before it runs.
using DialogStatement = CHook<Reports::PracticeEvents, struct DialogStatementTag, const std::string&>;
// Every statement of the database layer, before it runs: tests make the database fail there.
using DatabaseStatement = CHook<Reports::PracticeEvents, struct DatabaseStatementTag, std::string_view>;
// Named points of a run that its statements do not show, for the crash tests.
using RunPoint = CHook<Reports::PracticeEvents, struct RunPointTag, std::string_view>;
// Runs inside the modal loop once a dialog is up.
using Modal = CHook<Reports::Always, struct ModalTag, CDialog&>;
// Every value the progress bar is set to, repeated values included.
using Progress = CHook<Reports::Always, struct ProgressTag, int>;
// Every pump of the window the program asks for.
using Pump = CHook<Reports::Always, struct PumpTag>;

// How long a statement waits for a lock another client holds before it fails as a
// database error, for connections opened afterwards.
struct LockWait {
    using Value = std::chrono::milliseconds;
    static Value& Slot()
    {
        static Value wait = std::chrono::seconds(60);
        return wait;
    }
};

} // namespace seam
