#include "Database.h"
#include "KelvorDlg.h"
#include "VqLeb.h"
#include "VqMandant.h"
#include "VqPersonalAdr.h"
#include <string>

namespace {

// The item text begins with the treater key, which is what the run takes back
// out of a chosen item; the staff member's name follows when it can be found.
std::string TreaterItemText(const CVqLeb& treater, CVqPersonalAdr& staff)
{
    const std::string& lebId = treater.GetField("LEBID");
    const std::string& staffId = treater.GetField("PERSONALID");
    if (staffId.empty())
        return lebId;
    staff.SetField("PERSONALID", staffId);
    if (staff.GetByK1(0) != 0)
        return lebId;
    return lebId + " - " + staffId + " (" + staff.MakeFullName(1) + ")";
}

}

void CKelvorDlg::FillOwnerCombos()
{
    m_aOwners.clear();
    CVqMandant owners(&dbDatabaseRO);
    owners.SetOpenType(1, true);
    owners.SetKey(1, true);
    CStrings& ownerItems = m_ownerCombo.GetItems();
    CStrings& replacementItems = m_replacementCombo.GetItems();
    ownerItems.Clear();
    replacementItems.Clear();
    if (owners.GetByK1(2) != 0)
        return;
    do {
        const std::string& mdId = owners.GetField("MDID");
        m_aOwners.push_back(mdId);
        ownerItems.Add(mdId);
        replacementItems.Add(mdId);
    } while (owners.Next() == 0);
}

// Treater mode: every treater, into the table and both choice controls, item i
// of each showing entry i. Owner mode: the owner's treaters into the table only,
// for the start checks; the controls hold the owners then.
void CKelvorDlg::FillTreaterLists(const std::string& ownerId)
{
    m_aTreaters.clear();
    CVqLeb treaters(&dbDatabaseRO);
    treaters.SetOpenType(1, true);
    treaters.SetKey(1, true);
    CVqPersonalAdr staff(&dbDatabaseRO);
    staff.SetForwardOnly(true);
    CStrings& listItems = m_treaterList.GetItems();
    CStrings& replacementItems = m_replacementCombo.GetItems();
    int found = 0;
    if (m_bTreaterMode) {
        listItems.Clear();
        replacementItems.Clear();
        found = treaters.GetAll();
    } else {
        found = treaters.GetAllLebIdWithMdId(ownerId);
    }
    if (found != 0)
        return;
    do {
        m_aTreaters.push_back({ treaters.GetField("LEBID"), treaters.GetField("MDIDK"), treaters.GetField("MDIDP") });
        if (m_bTreaterMode) {
            const std::string text = TreaterItemText(treaters, staff);
            listItems.Add(text);
            replacementItems.Add(text);
        }
    } while (treaters.Next() == 0);
}
