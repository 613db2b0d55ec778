#pragma once
#include "OpenFile.h"
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

class CHbRSetDatabase;

// What a trial changed in one table, by primary key: keys gone, keys still there with
// another value in any column, keys that are new.
struct STableChanges {
    std::string table;
    long gone = 0;
    long changed = 0;
    long added = 0;
    bool operator==(const STableChanges&) const = default;
};

// A throwaway SQLite copy of the practice database in the temporary folder, for a
// trial run that must leave the practice as it is. Triggers in the copy log the state
// before of every row the trial deletes or changes and the keys it adds, so the changes
// are counted by primary key afterwards, whichever connection made them. The file is
// locked while the copy lives and removed with it; copies a crash left behind are
// removed by RemoveLeftovers.
class CTrialCopy {
public:
    // Why no copy can be made, in the user's words.
    class Refused : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

    // Copies the database practice is open on; throws Refused without room for the
    // copy (its size and a tenth) or without a temporary folder, CDBException when the
    // practice cannot be read.
    explicit CTrialCopy(CHbRSetDatabase& practice);
    ~CTrialCopy();
    CTrialCopy(const CTrialCopy&) = delete;
    CTrialCopy& operator=(const CTrialCopy&) = delete;

    // The connect text of the copy, for the trial's own connections: one connection,
    // the file locked for it (see CSqliteBackEnd).
    std::string ConnectText() const;
    // Once the trial's connections are closed: the tables the trial changed, in binary
    // order of their names; throws CDBException.
    std::vector<STableChanges> Changes() const;

    // Removes copies in the temporary folder that no living trial holds.
    static void RemoveLeftovers();

private:
    std::string m_path;
    std::optional<COpenFile> m_lock;   // held while the copy is in use
};
