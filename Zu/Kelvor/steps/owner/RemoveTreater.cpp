#include "KelvorDlg.h"
#include "steps/owner/Reassignment.h"
#include <array>

namespace {

// Every treater column whose rows outlive their treater, in the order they are moved.
constexpr auto kTreaterColumns = std::to_array<Reassignment>({
    {"WORKSTATION", "PHLEBID"},
    {"SBBESTELLUNG", "LEBID"},
    {"REZEPT", "LEBID"},
    {"REZEPT", "LEBID2"},
    {"WORKFLOW", "LEBID"},
    {"PAT", "STAMMLEBID"},
    {"PAT", "IPLEBID"},
    {"PATINFO", "LEBID"},
    {"MACENTRY", "STDLEBID"},
    {"BEH", "LEBID"},
    {"GIPS", "LEBID"},
    {"ROEBEFUND", "PERFORMINGLEBID"},
    {"ZPLAN", "LEBID"},
    {"LBLOCKENTRY", "LEBID"},
    {"LBLOCK", "LEBID"},
    {"CMD", "LEBID"},
    {"GLBLOCENTRY", "LEBID"},
    {"GLBLOC", "LEBID"},
    {"WARTELISTE", "LEBID"},
});

} // namespace

// Closing step of a treater pass: what is left of the treater goes to the
// replacement, then its own row. Failed statements are traced by ExecuteSQL
// and do not stop the step.
bool CKelvorDlg::RemoveTreater()
{
    AddStatusLine("Lösche Behandler...");
    for (const Reassignment& column : kTreaterColumns)
        ExecuteSQL(column.Statement(m_strReplacementId, m_strDeleteId));
    DeleteWhereLebId("LEB", m_strDeleteId);
    ExecuteSQL("UPDATE NUMBERPOOL SET LEBID = (SELECT MAX(LEBID) FROM LEB)");
    return true;
}
