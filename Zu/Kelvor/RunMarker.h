#pragma once
#include "OpenFile.h"
#include "RunChoices.h"
#include <ctime>
#include <optional>
#include <string>

// The file Kelvor.lauf in the log folder: it exists from the start of a confirmed
// run to its end, so a run cut short (killed, power lost) is found at the next
// start and can be finished. Line-based "name=value", readable by a technician.
// Without a log folder there is no marker.
// While its run is busy, the marker is held with an exclusive lock, which ends with
// the run or with its process: a marker found locked is a run going on in another
// Kelvor, one found unlocked a run cut short. Looking for a busy run and writing the
// marker are one step under a lock on the log folder, so of two Kelvors started at
// the same moment one finds the other's run.
class CRunMarker {
public:
    struct Run {
        RunChoices choices;
        std::tm started{};
        bool busy = false;  // another process is running it now
    };

    // Why a run may not start: another Kelvor's run is busy, or the log folder cannot
    // keep this run's records (reason says why, in the user's words).
    struct Refusal {
        std::optional<Run> busy;
        std::string reason;
    };

    explicit CRunMarker(const std::string& logFolder);

    // The refusal, if the run may not start; else the marker of this run is written to
    // a temporary name, locked, flushed and renamed, so it is whole or absent and never
    // seen unlocked while the run is busy. Held until Remove. A run whose marker, run
    // log or trace cannot be written is refused and leaves no marker behind.
    [[nodiscard]] std::optional<Refusal> Begin(const RunChoices& choices, std::time_t started);
    void Remove();
    // The interrupted run, if a marker is there. A marker that cannot be read is
    // traced and taken as none; it stays until the next run ends.
    std::optional<Run> Read() const;

private:
    std::string Write(const RunChoices& choices, std::time_t started);
    bool WriteFile(const std::string& text);

    std::string m_path;
    std::optional<COpenFile> m_held;  // the marker of this process's run
};

// "05.12.2026 14:03": a run's start as the messages show it.
std::string StartText(const std::tm& started);
// Said before Kelvor ends because another Kelvor is running a run on the practice.
std::string BusyRunMessage(const CRunMarker::Run& run);
