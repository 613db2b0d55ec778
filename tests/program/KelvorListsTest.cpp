#include "DialogFixture.h"
#include <string>
#include <vector>

namespace {

class KelvorListsTest : public DialogFixture {
protected:
    void AddTreater(const std::string& lebId, const std::string& cashOwner, const std::string& privateOwner,
                    const std::string& staffId = {})
    {
        Practice().Insert("LEB", { { "LEBID", lebId }, { "MDIDK", cashOwner }, { "MDIDP", privateOwner },
                                   { "PERSONALID", staffId } });
    }
    static std::vector<std::string> Items(CStrings& strings)
    {
        std::vector<std::string> items;
        for (int i = 0; i < strings.Count(); ++i)
            items.push_back(strings.Item(i));
        return items;
    }
    static std::vector<std::string> Rows(const std::vector<TreaterEntry>& treaters)
    {
        std::vector<std::string> rows;
        for (const TreaterEntry& entry : treaters)
            rows.push_back(entry.lebId + "|" + entry.cashOwnerId + "|" + entry.privateOwnerId);
        return rows;
    }
};

TEST_F(KelvorListsTest, OwnersFillBothCombosInKeyOrderWithoutSelection)
{
    Practice().Insert("MANDANT", { { "MDID", "02" } });
    Practice().Insert("MANDANT", { { "MDID", "01" } });
    CKelvorDlg& dlg = OpenDialog(false);
    const std::vector<std::string> keys = { "01", "02" };
    EXPECT_EQ(dlg.m_aOwners, keys);
    EXPECT_EQ(Items(dlg.m_ownerCombo.GetItems()), keys);
    EXPECT_EQ(Items(dlg.m_replacementCombo.GetItems()), keys);
    EXPECT_EQ(dlg.m_ownerCombo.GetText() + dlg.m_replacementCombo.GetText(), "");
}

TEST_F(KelvorListsTest, TreaterItemsNameTheStaffMemberWhenTheAddressIsFound)
{
    Practice().Insert("PERSONALADR", { { "PERSONALID", "12" }, { "TITEL", "Dr." }, { "VORNAME", "Anna" },
                                       { "NAME", "Berger" } });
    AddTreater("005", "01", "");
    AddTreater("006", "01", "02", "12");
    AddTreater("007", "", "02", "13");   // staff address missing
    CKelvorDlg& dlg = OpenDialog(true);
    const std::vector<std::string> texts = { "005", "006 - 12 (Dr. Anna Berger)", "007" };
    EXPECT_EQ(Items(dlg.m_treaterList.GetItems()), texts);
    EXPECT_EQ(Items(dlg.m_replacementCombo.GetItems()), texts);
    EXPECT_EQ(Rows(dlg.m_aTreaters), (std::vector<std::string>{ "005|01|", "006|01|02", "007||02" }));
}

TEST_F(KelvorListsTest, OwnerModeLoadsTheOwnersTreatersAndLeavesTheControlsAlone)
{
    Practice().Insert("MANDANT", { { "MDID", "01" } });
    Practice().Insert("MANDANT", { { "MDID", "02" } });
    AddTreater("005", "01", "");
    AddTreater("006", "02", "01", "12");
    AddTreater("007", "02", "02");
    CKelvorDlg& dlg = OpenDialog(false);
    dlg.m_replacementCombo.SelectText("02");
    dlg.FillTreaterLists("01");
    EXPECT_EQ(Rows(dlg.m_aTreaters), (std::vector<std::string>{ "005|01|", "006|02|01" }));
    EXPECT_EQ(dlg.m_treaterList.GetItems().Count(), 0);
    EXPECT_EQ(Items(dlg.m_replacementCombo.GetItems()), (std::vector<std::string>{ "01", "02" }));
    EXPECT_EQ(dlg.m_replacementCombo.GetText(), "02");
}

}
