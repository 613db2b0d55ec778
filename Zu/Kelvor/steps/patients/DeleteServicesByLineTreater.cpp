#include "Database.h"
#include "KelvorDlg.h"
#include "VqBeh.h"
#include "VqBill.h"
#include "VqPat.h"
#include "steps/RecordWalk.h"
#include "steps/patients/OwnerAttribution.h"
#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr char kHeading[] = "Lösche Leistungen gemäß Zeilenbehandler...";
constexpr int kShowGpLst = 0;

struct FindingsTable {
    std::string_view table;
    std::string_view numberColumn;
};

// The findings type names the table of the row's findings record.
std::optional<FindingsTable> FindingsTableOf(const std::string& type)
{
    if (type == "b" || type == "s" || type == "i" || type == "p")
        return FindingsTable{"ABEFUND", "LFDABEFUND"};
    if (type == "k")
        return FindingsTable{"KFOBEFUND", "LFDKFOBEFUND"};
    if (type == "r")
        return FindingsTable{"ROEBEFUND", "LFDROEBEFUND"};
    return std::nullopt;
}

// Removes the current service row with its findings record and archive entry;
// returns the result of Delete().
int RemoveServiceRow(CKelvorDlg& dlg, CVqBeh& services, long& removed)
{
    const std::string patNr = CHbRSet::DoQuotes(services.GetField("PATNR"));
    const std::string& findingsNr = services.GetField("LFDBEFUND");
    if (const auto findings = FindingsTableOf(services.GetField("BEFUNDART")); findings && !findingsNr.empty())
        dlg.ExecuteSQL("DELETE FROM " + std::string(findings->table) + " WHERE PATNR='" + patNr + "' AND " +
                       std::string(findings->numberColumn) + "='" + CHbRSet::DoQuotes(findingsNr) + "'");
    if (const std::string& archiveNr = services.GetField("LFDARCHIV"); !archiveNr.empty())
        dlg.ExecuteSQL("DELETE FROM ARCHIV WHERE PATNR='" + patNr + "' AND LFDARCHIV='" +
                       CHbRSet::DoQuotes(archiveNr) + "'");
    ++removed;
    return services.Delete();
}

// Every patient, read-only; the services are removed through the read-write connection.
void PrepareWalk(CVqPat& patients, CVqBeh& services)
{
    patients.SetOpenType(1, true);
    patients.SetKey(1, true);
    services.SetKey(1, true);
}

const TreaterEntry* FindTreater(const std::vector<TreaterEntry>& treaters, const std::string& lebId)
{
    const auto found = std::ranges::find(treaters, lebId, &TreaterEntry::lebId);
    return found == treaters.end() ? nullptr : &*found;
}

}  // namespace

bool CKelvorDlg::DeleteServicesByLineTreaterForOwner()
{
    AddStatusLine(kHeading);
    CVqPat patients(&dbDatabaseRO, nullptr);
    CVqBeh services(&dbDatabase, nullptr);
    PrepareWalk(patients, services);
    CVqBill bills(&dbDatabaseRO, nullptr);
    bills.SetForwardOnly(true);
    if (patients.GetByK1(2) != 0)
        return true;

    const COwnerAttribution::BillingTypeLookup billingType =
        [&bills](std::string_view patNr, std::string_view billNr) -> std::optional<std::string> {
        bills.SetField("PATNR", std::string(patNr));
        bills.SetField("LFDPATBILL", std::string(billNr));
        if (bills.GetByK1(0) != 0)
            return std::nullopt;
        return bills.GetField("ABRTYP");
    };
    long examined = 0;
    long removed = 0;
    WalkRows(*this, patients, [&] {
        services.ClearAll();
        services.SetField("PATNR", patients.GetField("PATNR"));
        if (services.GetByK1(2) == 0) {
            COwnerAttribution attribution(m_strDeleteId, billingType);
            for (int moved = 0; moved == 0; ++examined) {
                const TreaterEntry* treater = FindTreater(m_aTreaters, services.GetField("LEBID"));
                const bool belongs = treater && attribution.Belongs(*treater, {services.GetField("PATNR"),
                                                                               services.GetField("LFDPATBILL"),
                                                                               services.GetField("KZPRIVAT")});
                moved = belongs ? RemoveServiceRow(*this, services, removed) : services.Next();
            }
        }
        return patients.Next();
    });
    AddCountLine(*this, removed, OfTotal(examined));
    return true;
}

bool CKelvorDlg::DeleteServicesByLineTreaterForTreater()
{
    AddStatusLine(kHeading);
    CVqPat patients(&dbDatabaseRO, nullptr);
    CVqBeh services(&dbDatabase, nullptr);
    PrepareWalk(patients, services);
    if (patients.GetByK1(2) != 0)
        return true;

    long removed = 0;
    WalkRows(*this, patients, [&] {
        services.ClearAll();
        services.SetField("PATNR", patients.GetField("PATNR"));
        services.SetField("LEBID", m_strDeleteId);
        if (services.GetForEvaluate("", "", "", "", "", true, false, false, 0, kShowGpLst) == 0)
            while (RemoveServiceRow(*this, services, removed) == 0) {
            }
        return patients.Next();
    });
    AddCountLine(*this, removed);
    return true;
}
