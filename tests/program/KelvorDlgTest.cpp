#include "DialogFixture.h"
#include <QDialog>
#include <map>
#include <string>
#include <vector>

namespace {

const std::string OwnerPanel =
    "Dieses Programm löscht den angegebenen Praxisinhaber und die damit verknüpften Daten.\n"
    "Vor dem Start bitte UNBEDINGT eine SICHERHEITSKOPIE der vorhandenen Daten durchführen!!!";
const std::string TreaterPanel =
    "Dieses Programm löscht den angegebenen Behandler und die damit verknüpften Daten.\n"
    "Vor dem Start bitte UNBEDINGT eine SICHERHEITSKOPIE der vorhandenen Daten durchführen!!!";
const std::string ReplacementHint =
    "Wird in den Datensätzen, die nicht gelöscht werden, anstelle des zu löschenden Praxisinhabers eingetragen";

class KelvorDlgTest : public DialogFixture {
protected:
    void AddOwners(const std::vector<std::string>& ids)
    {
        for (const std::string& id : ids)
            Practice().Insert("MANDANT", { { "MDID", id } });
    }
    void AddTreaters(const std::vector<std::string>& ids)
    {
        for (const std::string& id : ids)
            Practice().Insert("LEB", { { "LEBID", id }, { "MDIDK", "01" }, { "MDIDP", "01" } });
    }

    // The four owner data groups: journal, transfer records, laboratory invoices, invoices.
    std::vector<CHbLCheckX*> OwnerOnlyBoxes()
    {
        return { &Dlg().m_chkJournalEntries, &Dlg().m_chkTransferRecords, &Dlg().m_chkLabInvoices,
                 &Dlg().m_chkInvoicesAndPayments };
    }
    // Checked state of 1009, 1010, 1011, 1017.
    std::vector<int> ChoiceBoxes()
    {
        return { Dlg().m_chkServicesByBillingCase.GetChecked(), Dlg().m_chkServicesByLineTreater.GetChecked(),
                 Dlg().m_chkPatientsByMainTreater.GetChecked(), Dlg().m_chkPatientsWithoutServices.GetChecked() };
    }
    // Enabled state of 1001, 1002, 1009, 1010, 1011, 1017, 1003, 1018.
    std::vector<bool> ChoiceControlsEnabled()
    {
        CKelvorDlg& dlg = Dlg();
        return { dlg.m_ownerCombo.GetEnabled(), dlg.m_replacementCombo.GetEnabled(),
                 dlg.m_chkServicesByBillingCase.GetEnabled(), dlg.m_chkServicesByLineTreater.GetEnabled(),
                 dlg.m_chkPatientsByMainTreater.GetEnabled(), dlg.m_chkPatientsWithoutServices.GetEnabled(),
                 dlg.m_btnStart.GetEnabled(), dlg.m_treaterList.GetEnabled() };
    }
    std::vector<std::string> MessageTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& message : m_messages.Messages())
            texts.push_back(std::string(CScriptedMessageService::KindName(message.kind)) + ": " + message.text);
        return texts;
    }
};

const std::vector<bool> AllEnabled(8, true);
const std::vector<bool> NoneEnabled(8, false);

TEST_F(KelvorDlgTest, EveryControlIsReachableByIdAndNamedByItsLabel)
{
    AddOwners({ "01", "02" });
    CKelvorDlg& dlg = OpenDialog(false);
    const std::map<int, std::string> names = {
        { IDC_OWNER, "Zu löschender Praxisinhaber:" },
        { IDC_REPLACEMENT, "Ersatz-Praxisinhaber:" },
        { IDC_START, "Löschen starten" },
        { IDC_MEMO, "Status:" },
        { IDC_SERVICES_BY_BILLING_CASE, "Leistungsdaten gemäß Abrechnungsfall " },
        { IDC_SERVICES_BY_LINE_TREATER, "Leistungsdaten gemäß Zeilenbehandler" },
        { IDC_PATIENTS_BY_MAIN_TREATER, "Patienten gemäß Stammbehandler" },
        { IDC_INVOICES_AND_PAYMENTS, "Rechnungen und Zahlungen" },
        { IDC_JOURNAL_ENTRIES, "FiBu-/Kassenbuch-TSE-Einträge" },
        { IDC_TRANSFER_RECORDS, "ZE-/PAR-/KBR-DTA" },
        { IDC_LAB_INVOICES, "Laborrechnungen" },
        { IDC_PATIENTS_WITHOUT_SERVICES, "Patienten ohne Leistungen" },
        { IDC_TREATER_LIST, "Zu löschende Behandler:" },
    };
    for (const auto& [id, name] : names) {
        ASSERT_NE(dlg.GetDlgItem(id), nullptr) << id;
        EXPECT_EQ(dlg.GetDlgItem(id)->accessibleName().toStdString(), name) << id;
    }
    EXPECT_NE(dlg.GetDlgItem(IDC_PROGRESS), nullptr);
    EXPECT_EQ(dlg.m_infoPanel.Widget(), dlg.GetDlgItem(IDC_INFO_PANEL));
    EXPECT_EQ(dlg.m_replacementCombo.GetHint(), ReplacementHint);
    EXPECT_EQ(dlg.m_chkPatientsByMainTreater.GetHint(),
              "Setzt voraus, daß bei allen Behandler jew. Kassen- und Privatpraxisinhaber übereinstimmen");
    EXPECT_EQ(dlg.Window()->windowTitle().toStdString(), "Kelvor");
    EXPECT_FALSE(dlg.Window()->windowIcon().isNull());
    EXPECT_EQ(dlg.Window()->minimumSize(), dlg.Window()->maximumSize());
}

TEST_F(KelvorDlgTest, OwnerModeShowsTheTemplatePresentation)
{
    AddOwners({ "01", "02" });
    CKelvorDlg& dlg = OpenDialog(false);
    EXPECT_EQ(dlg.m_infoPanel.GetCaption(), OwnerPanel);
    EXPECT_TRUE(dlg.m_memo.GetVisible());
    EXPECT_FALSE(dlg.m_treaterList.GetVisible());
    EXPECT_TRUE(dlg.m_ownerCombo.GetVisible());
    EXPECT_TRUE(dlg.m_chkServicesByBillingCase.GetVisible());
    for (CHbLCheckX* box : OwnerOnlyBoxes()) {
        EXPECT_TRUE(box->GetVisible());
        EXPECT_EQ(box->GetChecked(), 1);
        EXPECT_FALSE(box->GetEnabled());
    }
    EXPECT_EQ(ChoiceBoxes(), (std::vector<int>{ 0, 0, 0, 0 }));
    EXPECT_EQ(ChoiceControlsEnabled(), AllEnabled);
    EXPECT_EQ(dlg.m_progress.GetPercent(), 0);
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(KelvorDlgTest, TreaterModeOnFirstDisplay)
{
    AddTreaters({ "005", "007" });
    CKelvorDlg& dlg = OpenDialog(true);
    EXPECT_EQ(dlg.m_infoPanel.GetCaption(), TreaterPanel);
    EXPECT_FALSE(dlg.m_memo.GetVisible());
    EXPECT_TRUE(dlg.m_treaterList.GetVisible());
    EXPECT_FALSE(dlg.m_ownerCombo.GetVisible());
    EXPECT_EQ(dlg.m_replacementCombo.GetLabelText(), "Ersatz-Behandler:");
    EXPECT_EQ(dlg.GetDlgItem(IDC_REPLACEMENT)->accessibleName().toStdString(), "Ersatz-Behandler:");
    EXPECT_EQ(dlg.m_replacementCombo.GetHint(), ReplacementHint);
    EXPECT_FALSE(dlg.m_chkServicesByBillingCase.GetVisible());
    for (CHbLCheckX* box : OwnerOnlyBoxes()) {
        EXPECT_FALSE(box->GetVisible());
        EXPECT_EQ(box->GetChecked(), 0);
        EXPECT_FALSE(box->GetEnabled());
    }
    EXPECT_EQ(ChoiceBoxes(), (std::vector<int>{ 0, 0, 1, 0 }));
    EXPECT_EQ(ChoiceControlsEnabled(), AllEnabled);
    EXPECT_TRUE(m_messages.Messages().empty());
    EXPECT_TRUE(MemoLines().empty());
}

TEST_F(KelvorDlgTest, OwnerModeServiceBoxesExcludeEachOtherAndMainTreaterIsFree)
{
    AddOwners({ "01", "02" });
    CKelvorDlg& dlg = OpenDialog(false);
    dlg.m_chkServicesByBillingCase.Click();
    EXPECT_EQ(ChoiceBoxes(), (std::vector<int>{ 1, 0, 0, 0 }));
    dlg.m_chkServicesByLineTreater.Click();
    EXPECT_EQ(ChoiceBoxes(), (std::vector<int>{ 0, 1, 0, 0 }));
    dlg.m_chkPatientsByMainTreater.Click();
    EXPECT_EQ(ChoiceBoxes(), (std::vector<int>{ 0, 1, 1, 0 }));
    dlg.m_chkServicesByBillingCase.Click();
    EXPECT_EQ(ChoiceBoxes(), (std::vector<int>{ 1, 0, 1, 0 }));
    dlg.m_chkPatientsWithoutServices.Click();
    dlg.m_chkPatientsByMainTreater.Click();
    EXPECT_EQ(ChoiceBoxes(), (std::vector<int>{ 1, 0, 0, 1 }));
    // Unchecking never checks another box.
    dlg.m_chkServicesByBillingCase.Click();
    EXPECT_EQ(ChoiceBoxes(), (std::vector<int>{ 0, 0, 0, 1 }));
}

TEST_F(KelvorDlgTest, TreaterModeLineTreaterAndMainTreaterExcludeEachOther)
{
    AddTreaters({ "005", "007" });
    CKelvorDlg& dlg = OpenDialog(true);
    dlg.m_chkServicesByLineTreater.Click();
    EXPECT_EQ(ChoiceBoxes(), (std::vector<int>{ 0, 1, 0, 0 }));
    dlg.m_chkPatientsByMainTreater.Click();
    EXPECT_EQ(ChoiceBoxes(), (std::vector<int>{ 0, 0, 1, 0 }));
    dlg.m_chkPatientsByMainTreater.Click();
    EXPECT_EQ(ChoiceBoxes(), (std::vector<int>{ 0, 0, 0, 0 }));
    dlg.m_chkPatientsWithoutServices.Click();
    dlg.m_chkServicesByLineTreater.Click();
    EXPECT_EQ(ChoiceBoxes(), (std::vector<int>{ 0, 1, 0, 1 }));
}

TEST_F(KelvorDlgTest, EnablingNeverFreesTheOwnerDataGroups)
{
    AddOwners({ "01", "02" });
    CKelvorDlg& dlg = OpenDialog(false);
    dlg.EnableControls(false);
    EXPECT_EQ(ChoiceControlsEnabled(), NoneEnabled);
    dlg.EnableControls(true);
    EXPECT_EQ(ChoiceControlsEnabled(), AllEnabled);
    for (CHbLCheckX* box : OwnerOnlyBoxes())
        EXPECT_FALSE(box->GetEnabled());
}

TEST_F(KelvorDlgTest, RepeatedTreaterConfigurationStartsAFreshChoice)
{
    AddTreaters({ "005", "007" });
    CKelvorDlg& dlg = OpenDialog(true);
    dlg.m_chkPatientsByMainTreater.Click();
    dlg.m_treaterList.SetState(1, 1);
    dlg.m_replacementCombo.SelectText("005");
    dlg.m_memo.SetVisible(true);
    dlg.m_treaterList.SetVisible(false);
    dlg.EnableControls(false);

    dlg.ConfigureForMode(false);
    EXPECT_EQ(ChoiceBoxes(), (std::vector<int>{ 0, 0, 0, 0 }));
    EXPECT_EQ(dlg.m_treaterList.GetItems().Count(), 2);
    EXPECT_EQ((std::vector<int>{ dlg.m_treaterList.GetState(0), dlg.m_treaterList.GetState(1) }),
              (std::vector<int>{ 0, 0 }));
    EXPECT_EQ(dlg.m_replacementCombo.GetItems().Count(), 2);
    EXPECT_EQ(dlg.m_replacementCombo.GetText(), "");
    EXPECT_TRUE(dlg.m_treaterList.GetVisible());
    EXPECT_FALSE(dlg.m_memo.GetVisible());
    EXPECT_EQ(ChoiceControlsEnabled(), AllEnabled);
    EXPECT_EQ(MemoLines(), (std::vector<std::string>{ "" }));
    EXPECT_EQ(LogBytes(), "\n");
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(KelvorDlgTest, SingleTreaterIsShownSelectedInAnUnusableDialog)
{
    AddTreaters({ "005" });
    CKelvorDlg& dlg = OpenDialog(true);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{ "HaltE: Diese Praxis hat nur einen Behandler!" }));
    EXPECT_EQ(dlg.m_replacementCombo.GetText(), "005");
    EXPECT_EQ(dlg.m_treaterList.GetItems().Count(), 1);
    EXPECT_EQ(ChoiceControlsEnabled(), NoneEnabled);
    EXPECT_TRUE(dlg.Window()->isVisible());
}

TEST_F(KelvorDlgTest, PracticeWithoutTreatersGetsTheSameNotice)
{
    CKelvorDlg& dlg = OpenDialog(true);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{ "HaltE: Diese Praxis hat nur einen Behandler!" }));
    EXPECT_EQ(dlg.m_replacementCombo.GetText(), "");
    EXPECT_EQ(ChoiceControlsEnabled(), NoneEnabled);
}

TEST_F(KelvorDlgTest, SingleOwnerIsShownSelectedInAnUnusableDialog)
{
    AddOwners({ "01" });
    CKelvorDlg& dlg = OpenDialog(false);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{ "HaltE: Diese Praxis hat nur einen Praxisinhaber!" }));
    EXPECT_EQ(dlg.m_replacementCombo.GetText(), "01");
    EXPECT_EQ(dlg.m_ownerCombo.GetText(), "");
    EXPECT_EQ(ChoiceControlsEnabled(), NoneEnabled);
    EXPECT_TRUE(dlg.Window()->isVisible());
}

}
