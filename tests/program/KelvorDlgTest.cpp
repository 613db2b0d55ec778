#include "DialogFixture.h"
#include <QDialog>
#include <map>
#include <string>
#include <vector>

namespace {

class KelvorDlgTest : public DialogFixture {
protected:
    CKelvorDlg& OpenWith(bool treaterMode, const std::vector<std::string>& ids)
    {
        for (const std::string& id : ids)
            Practice().Insert(treaterMode ? "LEB" : "MANDANT", { { treaterMode ? "LEBID" : "MDID", id } });
        return OpenDialog(treaterMode);
    }
    // Journal, transfer records, laboratory invoices, invoices: the owner's own data groups.
    std::vector<CHbLCheckX*> OwnerOnlyBoxes()
    {
        return { &Dlg().m_chkJournalEntries, &Dlg().m_chkTransferRecords, &Dlg().m_chkLabInvoices,
                 &Dlg().m_chkInvoicesAndPayments };
    }
    // Checked state of 1009, 1010, 1011, 1017.
    std::vector<int> Choices()
    {
        return { Dlg().m_chkServicesByBillingCase.GetChecked(), Dlg().m_chkServicesByLineTreater.GetChecked(),
                 Dlg().m_chkPatientsByMainTreater.GetChecked(), Dlg().m_chkPatientsWithoutServices.GetChecked() };
    }
    // Enabled state of 1001, 1002, 1009, 1010, 1011, 1017, 1003, 1018.
    std::vector<bool> Enabled()
    {
        CKelvorDlg& dlg = Dlg();
        return { dlg.m_ownerCombo.GetEnabled(), dlg.m_replacementCombo.GetEnabled(),
                 dlg.m_chkServicesByBillingCase.GetEnabled(), dlg.m_chkServicesByLineTreater.GetEnabled(),
                 dlg.m_chkPatientsByMainTreater.GetEnabled(), dlg.m_chkPatientsWithoutServices.GetEnabled(),
                 dlg.m_btnStart.GetEnabled(), dlg.m_treaterList.GetEnabled() };
    }
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> texts;
        for (const auto& message : m_messages.Messages())
            texts.push_back(std::string(CScriptedMessageService::KindName(message.kind)) + ": " + message.text);
        return texts;
    }
};

const std::vector<bool> AllEnabled(8, true);
const std::vector<bool> NoneEnabled(8, false);

TEST_F(KelvorDlgTest, OwnerModeShowsEveryControlNamedByItsLabel)
{
    CKelvorDlg& dlg = OpenWith(false, { "01", "02" });
    const std::map<int, std::string> names = {
        { IDC_OWNER, "Zu löschender Praxisinhaber:" }, { IDC_REPLACEMENT, "Ersatz-Praxisinhaber:" },
        { IDC_START, "Löschen starten" }, { IDC_MEMO, "Status:" }, { IDC_TREATER_LIST, "Zu löschende Behandler:" },
        { IDC_SERVICES_BY_BILLING_CASE, "Leistungsdaten gemäß Abrechnungsfall " },
        { IDC_SERVICES_BY_LINE_TREATER, "Leistungsdaten gemäß Zeilenbehandler" },
        { IDC_PATIENTS_BY_MAIN_TREATER, "Patienten gemäß Stammbehandler" },
        { IDC_PATIENTS_WITHOUT_SERVICES, "Patienten ohne Leistungen" },
        { IDC_JOURNAL_ENTRIES, "FiBu-/Kassenbuch-TSE-Einträge" }, { IDC_TRANSFER_RECORDS, "ZE-/PAR-/KBR-DTA" },
        { IDC_LAB_INVOICES, "Laborrechnungen" }, { IDC_INVOICES_AND_PAYMENTS, "Rechnungen und Zahlungen" },
    };
    for (const auto& [id, name] : names) {
        ASSERT_NE(dlg.GetDlgItem(id), nullptr) << id;
        EXPECT_EQ(dlg.GetDlgItem(id)->accessibleName().toStdString(), name) << id;
    }
    EXPECT_NE(dlg.GetDlgItem(IDC_PROGRESS), nullptr);
    EXPECT_EQ(dlg.m_infoPanel.Widget(), dlg.GetDlgItem(IDC_INFO_PANEL));
    EXPECT_EQ(dlg.m_infoPanel.GetCaption(),
              "Dieses Programm löscht den angegebenen Praxisinhaber und die damit verknüpften Daten.\n"
              "Vor dem Start bitte UNBEDINGT eine SICHERHEITSKOPIE der vorhandenen Daten durchführen!!!");
    for (CHbLCheckX* box : OwnerOnlyBoxes())
        EXPECT_TRUE(box->GetVisible() && box->GetChecked() == 1 && !box->GetEnabled());
    EXPECT_TRUE(dlg.m_memo.GetVisible());
    EXPECT_FALSE(dlg.m_treaterList.GetVisible());
    EXPECT_EQ(Enabled(), AllEnabled);
    EXPECT_FALSE(dlg.Window()->windowIcon().isNull());
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(KelvorDlgTest, TreaterModeOnFirstDisplay)
{
    CKelvorDlg& dlg = OpenWith(true, { "005", "007" });
    EXPECT_EQ(dlg.m_infoPanel.GetCaption(),
              "Dieses Programm löscht den angegebenen Behandler und die damit verknüpften Daten.\n"
              "Vor dem Start bitte UNBEDINGT eine SICHERHEITSKOPIE der vorhandenen Daten durchführen!!!");
    EXPECT_FALSE(dlg.m_memo.GetVisible());
    EXPECT_TRUE(dlg.m_treaterList.GetVisible());
    EXPECT_FALSE(dlg.m_ownerCombo.GetVisible());
    EXPECT_FALSE(dlg.m_chkServicesByBillingCase.GetVisible());
    EXPECT_EQ(dlg.GetDlgItem(IDC_REPLACEMENT)->accessibleName().toStdString(), "Ersatz-Behandler:");
    EXPECT_EQ(dlg.m_replacementCombo.GetHint(), "Wird in den Datensätzen, die nicht gelöscht werden, "
                                                "anstelle des zu löschenden Praxisinhabers eingetragen");
    for (CHbLCheckX* box : OwnerOnlyBoxes())
        EXPECT_TRUE(!box->GetVisible() && box->GetChecked() == 0 && !box->GetEnabled());
    EXPECT_EQ(Choices(), (std::vector<int>{ 0, 0, 1, 0 }));
    EXPECT_EQ(Enabled(), AllEnabled);
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(KelvorDlgTest, OwnerModeServiceBoxesExcludeEachOtherAndMainTreaterIsFree)
{
    CKelvorDlg& dlg = OpenWith(false, { "01", "02" });
    dlg.m_chkServicesByBillingCase.Click();
    dlg.m_chkServicesByLineTreater.Click();
    EXPECT_EQ(Choices(), (std::vector<int>{ 0, 1, 0, 0 }));
    dlg.m_chkPatientsByMainTreater.Click();
    EXPECT_EQ(Choices(), (std::vector<int>{ 0, 1, 1, 0 }));
    dlg.m_chkServicesByBillingCase.Click();
    EXPECT_EQ(Choices(), (std::vector<int>{ 1, 0, 1, 0 }));
    dlg.m_chkPatientsByMainTreater.Click();
    dlg.m_chkServicesByBillingCase.Click();   // unchecking checks nothing else
    EXPECT_EQ(Choices(), (std::vector<int>{ 0, 0, 0, 0 }));
}

TEST_F(KelvorDlgTest, TreaterModeLineTreaterAndMainTreaterExcludeEachOther)
{
    CKelvorDlg& dlg = OpenWith(true, { "005", "007" });
    dlg.m_chkServicesByLineTreater.Click();
    EXPECT_EQ(Choices(), (std::vector<int>{ 0, 1, 0, 0 }));
    dlg.m_chkPatientsByMainTreater.Click();
    EXPECT_EQ(Choices(), (std::vector<int>{ 0, 0, 1, 0 }));
    dlg.m_chkPatientsByMainTreater.Click();
    EXPECT_EQ(Choices(), (std::vector<int>{ 0, 0, 0, 0 }));
}

TEST_F(KelvorDlgTest, RepeatedTreaterConfigurationStartsAFreshChoice)
{
    CKelvorDlg& dlg = OpenWith(true, { "005", "007" });
    dlg.m_chkPatientsByMainTreater.Click();
    dlg.m_treaterList.SetState(1, 1);
    dlg.m_replacementCombo.SelectText("005");
    dlg.m_memo.SetVisible(true);      // as a run leaves it
    dlg.m_treaterList.SetVisible(false);
    dlg.EnableControls(false);

    dlg.ConfigureForMode(false);
    EXPECT_EQ(Choices(), (std::vector<int>{ 0, 0, 0, 0 }));
    EXPECT_EQ(dlg.m_treaterList.GetItems().Count(), 2);
    EXPECT_EQ(dlg.m_treaterList.GetState(1), 0);
    EXPECT_EQ(dlg.m_replacementCombo.GetItems().Count(), 2);
    EXPECT_EQ(dlg.m_replacementCombo.GetText(), "");
    EXPECT_TRUE(dlg.m_treaterList.GetVisible() && !dlg.m_memo.GetVisible());
    EXPECT_EQ(Enabled(), AllEnabled);
    EXPECT_EQ(MemoLines(), (std::vector<std::string>{ "" }));
    EXPECT_EQ(LogBytes(), "\n");
}

TEST_F(KelvorDlgTest, SingleTreaterIsShownSelectedInAnUnusableDialog)
{
    CKelvorDlg& dlg = OpenWith(true, { "005" });
    EXPECT_EQ(Messages(), (std::vector<std::string>{ "HaltE: Diese Praxis hat nur einen Behandler!" }));
    EXPECT_EQ(dlg.m_replacementCombo.GetText(), "005");
    EXPECT_EQ(Enabled(), NoneEnabled);
    EXPECT_TRUE(dlg.Window()->isVisible());
}

TEST_F(KelvorDlgTest, PracticeWithoutTreatersGetsTheSameNotice)
{
    CKelvorDlg& dlg = OpenWith(true, {});
    EXPECT_EQ(Messages(), (std::vector<std::string>{ "HaltE: Diese Praxis hat nur einen Behandler!" }));
    EXPECT_EQ(dlg.m_replacementCombo.GetText(), "");
    EXPECT_EQ(Enabled(), NoneEnabled);
}

TEST_F(KelvorDlgTest, SingleOwnerIsShownSelectedInAnUnusableDialog)
{
    CKelvorDlg& dlg = OpenWith(false, { "01" });
    EXPECT_EQ(Messages(), (std::vector<std::string>{ "HaltE: Diese Praxis hat nur einen Praxisinhaber!" }));
    EXPECT_EQ(dlg.m_replacementCombo.GetText(), "01");
    EXPECT_EQ(dlg.m_ownerCombo.GetText(), "");
    EXPECT_EQ(Enabled(), NoneEnabled);
    EXPECT_TRUE(dlg.Window()->isVisible());
}

}
