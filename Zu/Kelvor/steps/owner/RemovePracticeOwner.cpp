#include "FileStore.h"
#include "Database.h"
#include "HbRSet.h"
#include "KelvorDlg.h"
#include "VqMandant.h"
#include "VqParams.h"
#include "steps/owner/OwnerNumber.h"
#include "steps/owner/Reassignment.h"
#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace {

enum class OwnerAction {
    Delete,     // DeleteWhereMdId on the table
    Move,       // the column goes to the replacement owner
    Keyed,      // first + quoted removed key + second
    Prefix,     // first + the removed key's LIKE pattern, then second + the pattern of
                // each other owner whose key begins with it
    Files,      // the owner's photo and files in the file store
    Statement,  // first, as it stands
};

struct OwnerStep {
    OwnerAction action;
    std::string_view first = {};
    std::string_view second = {};
};

using enum OwnerAction;

// What goes with an owner, in the order it goes. ETSSTERMIN is moved first and
// deleted later: the delete takes only the appointments the move left behind.
constexpr auto kOwnerSteps = std::to_array<OwnerStep>({
    {Keyed, "UPDATE WORKSTATION SET QAMDID='' WHERE QAMDID='", "'"},
    {Delete, "SBBESTELLUNG"},
    {Delete, "SBBESTELLENTRY"},
    {Move, "REZEPT", "MDID"},
    {Delete, "MDPRAXISPROFIL"},
    {Delete, "KTRAEGER"},
    {Delete, "BANKEN"},
    {Delete, "FLABS"},
    {Delete, "MDFIBUPROFIL"},
    {Delete, "FORMULAR"},
    {Delete, "FORMABLAGE"},
    {Delete, "FORMULARLUPB"},
    {Move, "LEB", "MDIDK"},
    {Move, "LEB", "MDIDP"},
    {Delete, "FRAGEBOGEN"},
    {Delete, "FRAGEBOGENENTRY"},
    {Move, "PATINFO", "MDID"},
    {Delete, "EINWILLIGUNG"},
    {Delete, "BILLRULE"},
    {Move, "CASHPAY", "MDID"},
    {Move, "EBZ", "MDID"},
    {Move, "ETSSTERMIN", "MDID"},
    {Delete, "KONTO"},
    {Delete, "QAHIT"},
    {Delete, "KFOHIT"},
    {Delete, "SCHNITTSTELLEN"},
    {Delete, "MATERIALBUCH"},
    {Prefix, "DELETE FROM DOKUMENT WHERE DOKUMENTART IN ('m','p') AND DOKUMENTKEY LIKE ", " AND DOKUMENTKEY NOT LIKE "},
    {Delete, "ETSSTERMIN"},
    {Files},
    {Delete, "MANDANT"},
    {Statement, "UPDATE NUMBERPOOL SET MDID = (SELECT MAX(MDID) FROM MANDANT)"},
});

// The key matches as a prefix only: when it holds a wildcard, every wildcard and
// the escape character itself are escaped ("0_" must not take owner 01's documents).
std::string LikePrefix(const std::string& key)
{
    const std::string quoted = CHbRSet::DoQuotes(key);
    if (quoted.find_first_of("%_") == std::string::npos)
        return "'" + quoted + "%'";
    std::string escaped = "'";
    for (const char ch : quoted) {
        if (ch == '!' || ch == '%' || ch == '_')
            escaped += '!';
        escaped += ch;
    }
    return escaped + "%' ESCAPE '!'";
}

// The removed owner's documents, not those of an owner whose key begins with its
// key (removing 1 keeps the documents of 11).
std::string DocumentPatterns(const OwnerStep& step, const std::string& removed, const std::vector<std::string>& others)
{
    std::string patterns = std::string(step.first) + LikePrefix(removed);
    for (const std::string& other : others)
        if (other.starts_with(removed))
            patterns += std::string(step.second) + LikePrefix(other);
    return patterns;
}

// Every owner key but the removed one, in binary order. A failed read throws:
// it is never taken for "no other owner".
std::vector<std::string> OtherOwners(const std::string& removed)
{
    CVqMandant owners(&dbDatabase);
    owners.SetOpenType(1, true);
    owners.SetKey(1, true);
    std::vector<std::string> keys;
    for (int found = owners.GetByK1(2); found == 0; found = owners.Next())
        if (const std::string& key = owners.GetField("MDID"); key != removed)
            keys.push_back(key);
    std::ranges::sort(keys);
    return keys;
}

// The first other owner whose key reads as the same file number: the files carry
// only the number, so they may be that owner's.
const std::string* SharerOfNumber(long number, const std::vector<std::string>& others)
{
    const auto sharer = std::ranges::find_if(others, [number](const std::string& key) { return ReadNumber(key) == number; });
    return number > 0 && sharer != others.end() ? &*sharer : nullptr;
}

// The data folder's sub-folder, asked for afresh; empty (no folder) without a data folder.
std::string DataFolder(const char* folder)
{
    const std::string data = GetVqDataPath(0);
    return data.empty() ? data : data + folder;
}

// The owner's photo, then its entries in the data folder and the QA folder, unless
// another owner has the same number.
void RemoveOwnerFiles(CKelvorDlg& dlg, const std::vector<std::string>& others)
{
    const std::string photo = GetVqMandantFotoPath(dlg.m_strDeleteId, true);
    if (!photo.empty())
        DeleteFileDB(photo);
    const long number = ReadNumber(dlg.m_strDeleteId);
    if (const std::string* sharer = SharerOfNumber(number, others)) {
        dlg.AddStatusLine("Dateien der Nummer " + std::to_string(number) +
                          " nicht gelöscht: sie gehören auch zu Praxisinhaber " + *sharer + ".");
        return;
    }
    dlg.DeleteOwnerPrefixedFiles(DataFolder("apps\\"), "Logo");
    dlg.DeleteOwnerExtensionFiles(DataFolder("bank\\"));
    dlg.DeleteOwnerFolders(DataFolder("rz\\"));
    dlg.DeleteOwnerQAFiles(GetVqQAPath());
}

} // namespace

// Closing step of owner mode. No result is looked at: a failed statement is
// traced by ExecuteSQL and the step goes on, so the owner row always goes.
bool CKelvorDlg::RemovePracticeOwner()
{
    AddStatusLine("Lösche Praxisinhaber...");
    const std::vector<std::string> others = OtherOwners(m_strDeleteId);
    for (const OwnerStep& step : kOwnerSteps) {
        switch (step.action) {
        case Delete:
            DeleteWhereMdId(std::string(step.first), m_strDeleteId);
            break;
        case Move:
            ExecuteSQL(Reassignment{step.first, step.second}.Statement(m_strReplacementId, m_strDeleteId));
            break;
        case Keyed:
            ExecuteSQL(std::string(step.first) + CHbRSet::DoQuotes(m_strDeleteId) + std::string(step.second));
            break;
        case Prefix:
            ExecuteSQL(DocumentPatterns(step, m_strDeleteId, others));
            break;
        case Files:
            RemoveOwnerFiles(*this, others);
            break;
        case Statement:
            ExecuteSQL(std::string(step.first));
            break;
        }
    }
    return true;
}
