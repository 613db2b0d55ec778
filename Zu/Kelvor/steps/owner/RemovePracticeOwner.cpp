#include "FileStore.h"
#include "HbRSet.h"
#include "KelvorDlg.h"
#include "VqParams.h"
#include "steps/owner/Reassignment.h"
#include <array>
#include <string>
#include <string_view>

namespace {

enum class OwnerAction {
    Delete,     // DeleteWhereMdId on the table
    Move,       // the column goes to the replacement owner
    Keyed,      // first + quoted removed key + second
    Prefix,     // first + the quoted removed key as a LIKE prefix
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
    {Prefix, "DELETE FROM DOKUMENT WHERE DOKUMENTART IN ('m','p') AND DOKUMENTKEY LIKE '"},
    {Delete, "ETSSTERMIN"},
    {Files},
    {Delete, "MANDANT"},
    {Statement, "UPDATE NUMBERPOOL SET MDID = (SELECT MAX(MDID) FROM MANDANT)"},
});

// The key matches as a prefix only: when it holds a wildcard, every wildcard and
// the escape character itself are escaped ("0_" must not take owner 01's documents).
std::string LikePrefix(const std::string& quotedKey)
{
    if (quotedKey.find_first_of("%_") == std::string::npos)
        return quotedKey + "%'";
    std::string escaped;
    for (const char ch : quotedKey) {
        if (ch == '!' || ch == '%' || ch == '_')
            escaped += '!';
        escaped += ch;
    }
    return escaped + "%' ESCAPE '!'";
}

// The owner's photo, then its entries in the data folder and the QA folder.
// The data folder is asked for afresh for each of its sub-folders.
void RemoveOwnerFiles(CKelvorDlg& dlg)
{
    const std::string photo = GetVqMandantFotoPath(dlg.m_strDeleteId, true);
    if (!photo.empty())
        DeleteFileDB(photo);
    dlg.DeleteOwnerPrefixedFiles(GetVqDataPath(0) + "apps\\", "Logo");
    dlg.DeleteOwnerExtensionFiles(GetVqDataPath(0) + "bank\\");
    dlg.DeleteOwnerFolders(GetVqDataPath(0) + "rz\\");
    dlg.DeleteOwnerQAFiles(GetVqQAPath());
}

} // namespace

// Closing step of owner mode. No result is looked at: a failed statement is
// traced by ExecuteSQL and the step goes on, so the owner row always goes.
bool CKelvorDlg::RemovePracticeOwner()
{
    AddStatusLine("Lösche Praxisinhaber...");
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
            ExecuteSQL(std::string(step.first) + LikePrefix(CHbRSet::DoQuotes(m_strDeleteId)));
            break;
        case Files:
            RemoveOwnerFiles(*this);
            break;
        case Statement:
            ExecuteSQL(std::string(step.first));
            break;
        }
    }
    return true;
}
