#pragma once
#include "SampleDatabase.h"
#include "SampleText.h"
#include "SeededRandom.h"
#include <string>
#include <vector>

struct SampleTreater {
    std::string lebId;
    std::string cashOwner;      // MDIDK, may be empty
    std::string privateOwner;   // MDIDP, may be empty
    // The owner a service of this treater bills to; the other practice when that one is empty.
    const std::string& OwnerFor(bool privatePractice) const;
};

// The practice owners, their treaters with staff addresses, and the workstations.
// Owner 02 shares a treater with owner 03 (different cash and private owners);
// every other owner's treaters work for one owner or for one practice only.
class PracticeStaff {
public:
    static PracticeStaff Write(SampleDatabase& db, SeededRandom& random);

    const std::vector<std::string>& Owners() const { return m_owners; }
    const std::vector<SampleTreater>& Treaters() const { return m_treaters; }
    const SampleTreater& AnyTreater(SeededRandom& random) const;
    // A treater who works for owner in at least one of the two practices.
    const SampleTreater& TreaterOf(const std::string& owner, SeededRandom& random) const;

private:
    void WriteOwners(SampleDatabase& db, SeededRandom& random);
    void WriteTreaters(SampleDatabase& db, SeededRandom& random);
    static void WriteStaffAddress(SampleDatabase& db, const std::string& staffId, const SamplePerson& person);
    void WriteWorkstations(SampleDatabase& db, SeededRandom& random) const;
    SampleTreater TreaterFor(std::size_t owner, int slot, int number) const;

    std::vector<std::string> m_owners;
    std::vector<SampleTreater> m_treaters;
};
