#pragma once
#include <cstdint>
#include <string>

// What the floor sent: every text given as a statement (the bill rebuild aside),
// counted and hashed in order.
struct StatementTrail {
    long count = 0;
    std::uint64_t hash = 1469598103934665603ULL;
    void Add(const std::string& text);
};

// The owner run (every data group, services by billing case) done as cheaply as
// the same work can be done: one SQLite connection, the run's statement texts in
// the run's order, every row it reads or removes found by its key, kept prepared
// statements, one transaction per removed patient. The practice's own settings
// and folders are those of the practice in folder.
StatementTrail RunOwnerFloor(const std::string& folder, const std::string& removed, const std::string& replacement);
