#pragma once
#include "RunChoices.h"
#include <ctime>
#include <optional>
#include <string>

// The file Kelvor.lauf in the log folder: it exists from the start of a confirmed
// run to its end, so a run cut short (killed, power lost) is found at the next
// start and can be finished. Line-based "name=value", readable by a technician.
// Without a log folder there is no marker.
class CRunMarker {
public:
    struct Run {
        RunChoices choices;
        std::tm started{};
    };

    explicit CRunMarker(const std::string& logFolder);

    // Written to a temporary name, flushed and renamed, so it is whole or absent.
    // A marker that cannot be written is traced; the run goes on.
    void Write(const RunChoices& choices, std::time_t started) const;
    void Remove() const;
    // The interrupted run, if a marker is there. A marker that cannot be read is
    // traced and taken as none; it stays until the next run ends.
    std::optional<Run> Read() const;

private:
    bool WriteFile(const std::string& text) const;

    std::string m_path;
};
