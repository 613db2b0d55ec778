#include "PracticeStaff.h"
#include "SampleNames.h"
#include "SampleText.h"

namespace {

const std::vector<std::string>& WorkstationNames()
{
    static const std::vector<std::string> names{
        "Empfang", "Behandlungszimmer 1", "Behandlungszimmer 2", "Röntgen", "Labor", "Verwaltung", "Prophylaxe"};
    return names;
}

} // namespace

const std::string& SampleTreater::OwnerFor(bool privatePractice) const
{
    const std::string& owner = privatePractice ? privateOwner : cashOwner;
    return owner.empty() ? (privatePractice ? cashOwner : privateOwner) : owner;
}

PracticeStaff PracticeStaff::Write(SampleDatabase& db, SeededRandom& random)
{
    PracticeStaff staff;
    staff.WriteOwners(db, random);
    staff.WriteTreaters(db, random);
    staff.WriteWorkstations(db, random);
    return staff;
}

const SampleTreater& PracticeStaff::AnyTreater(SeededRandom& random) const
{
    return m_treaters.at(random.Below(static_cast<std::uint32_t>(m_treaters.size())));
}

const SampleTreater& PracticeStaff::TreaterOf(const std::string& owner, SeededRandom& random) const
{
    std::vector<const SampleTreater*> candidates;
    for (const SampleTreater& treater : m_treaters)
        if (treater.cashOwner == owner || treater.privateOwner == owner)
            candidates.push_back(&treater);
    return *candidates.at(random.Below(static_cast<std::uint32_t>(candidates.size())));
}

void PracticeStaff::WriteOwners(SampleDatabase& db, SeededRandom& random)
{
    const int count = random.Between(4, 5);
    for (int i = 1; i <= count; ++i) {
        m_owners.push_back(Padded(i, 2));
        const std::string name = "Zahnarztpraxis Dr. " + random.Pick(FamilyNames());
        db.Insert("MANDANT", {{"MDID", m_owners.back()}, {"NAME", name}, {"ORT", TownName(random.Pick(Towns()))}});
    }
}

SampleTreater PracticeStaff::TreaterFor(std::size_t owner, int slot, int number) const
{
    const std::string& md = m_owners[owner];
    SampleTreater treater{Padded(number, 3), md, md};
    if (slot == 1 && owner == 1)
        treater.privateOwner = m_owners[2];      // works for two owners
    else if (slot == 2 && owner % 2 == 0)
        treater.privateOwner.clear();            // cash practice only
    else if (slot == 2)
        treater.cashOwner.clear();               // private practice only
    return treater;
}

void PracticeStaff::WriteTreaters(SampleDatabase& db, SeededRandom& random)
{
    int number = 0;
    for (std::size_t owner = 0; owner < m_owners.size(); ++owner) {
        const int count = random.Between(3, 4);
        for (int slot = 0; slot < count; ++slot) {
            m_treaters.push_back(TreaterFor(owner, slot, ++number));
            const SampleTreater& treater = m_treaters.back();
            const SamplePerson person = RandomPerson(random, 80);
            // Treater 003 names a staff key without an address; treater 006 has no staff key.
            const std::string staffId = number == 6 ? std::string() : Padded(number, 4);
            if (!staffId.empty() && number != 3)
                WriteStaffAddress(db, staffId, person);
            db.Insert("LEB", {{"LEBID", treater.lebId}, {"MDIDK", treater.cashOwner},
                              {"MDIDP", treater.privateOwner}, {"PERSONALID", staffId}, {"KUERZEL", Initials(person)}});
        }
    }
    // Assistants and reception staff: addresses without a treater.
    for (int i = 1, count = random.Between(2, 4); i <= count; ++i)
        WriteStaffAddress(db, Padded(900 + i, 4), RandomPerson(random, 0));
}

void PracticeStaff::WriteStaffAddress(SampleDatabase& db, const std::string& staffId, const SamplePerson& person)
{
    db.Insert("PERSONALADR", {{"PERSONALID", staffId}, {"ANREDE", person.anrede}, {"TITEL", person.titel},
                              {"VORNAME", person.vorname}, {"NAME", person.name}});
}

void PracticeStaff::WriteWorkstations(SampleDatabase& db, SeededRandom& random) const
{
    const int count = random.Between(4, 7);
    for (int i = 0; i < count; ++i) {
        // Some workstations name no QA owner, some no treater.
        const std::string qaOwner = i % 3 == 2 ? std::string() : m_owners[static_cast<std::size_t>(i) % m_owners.size()];
        const std::string treater = i % 4 == 3 ? std::string() : AnyTreater(random).lebId;
        db.Insert("WORKSTATION", {{"WORKSTATIONID", Padded(i + 1, 3)}, {"NAME", WorkstationNames()[static_cast<std::size_t>(i)]},
                                  {"QAMDID", qaOwner}, {"PHLEBID", treater}});
    }
}
