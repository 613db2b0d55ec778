#include "DialogFixture.h"
#include "StatementLog.h"
#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

class KelvorDlgTest : public DialogFixture {
protected:
    static std::vector<std::string> Items(const CStrings& strings)
    {
        std::vector<std::string> items;
        for (int i = 0; i < strings.Count(); ++i)
            items.push_back(strings.Item(i));
        return items;
    }
    // One digit a control, four to a group: 1001, 1002, 1003, 1018, the choices 1009, 1010, 1011, 1017,
    // then the owner's own groups 1013, 1014, 1015, 1012.
    std::string States(const std::function<int(CHbControl&)>& get)
    {
        CKelvorDlg& d = Dlg();
        std::string digits;
        for (CHbControl* control : std::initializer_list<CHbControl*>{
                 &d.m_ownerCombo, &d.m_replacementCombo, &d.m_btnStart, &d.m_treaterList,
                 &d.m_chkServicesByBillingCase, &d.m_chkServicesByLineTreater, &d.m_chkPatientsByMainTreater,
                 &d.m_chkPatientsWithoutServices, &d.m_chkJournalEntries, &d.m_chkTransferRecords,
                 &d.m_chkLabInvoices, &d.m_chkInvoicesAndPayments })
            digits += (digits.size() % 5 == 4 ? " " : "") + std::to_string(get(*control));
        return digits;
    }
    std::string Checked()
    {
        return States([](CHbControl& control) {
            const auto* box = dynamic_cast<const CHbLCheckX*>(&control);
            return box != nullptr ? box->GetChecked() : 0;
        });
    }
    // Clicks the boxes named by letters (b 1009, l 1010, m 1011), then expects the checked boxes.
    void ExpectClicks(const std::vector<std::pair<std::string, std::string>>& steps)
    {
        for (const auto& [clicks, checked] : steps) {
            for (const char c : clicks)
                (c == 'b' ? Dlg().m_chkServicesByBillingCase
                          : c == 'l' ? Dlg().m_chkServicesByLineTreater : Dlg().m_chkPatientsByMainTreater).Click();
            EXPECT_EQ(Checked(), checked) << clicks;
        }
    }
    static std::string Caption(const std::string& whom)
    {
        return "Dieses Programm löscht den angegebenen " + whom + " und die damit verknüpften Daten.\n"
               "Vor dem Start bitte UNBEDINGT eine SICHERHEITSKOPIE der vorhandenen Daten durchführen!!!";
    }
};

TEST_F(KelvorDlgTest, OwnerModeOffersTheOwnersInKeyOrderWithoutSelection)
{
    Practice().Insert("MANDANT", { { "MDID", "02" } });
    Practice().Insert("MANDANT", { { "MDID", "01" } });
    CKelvorDlg& dlg = OpenDialog(false);
    EXPECT_EQ(dlg.m_infoPanel.GetCaption(), Caption("Praxisinhaber"));
    EXPECT_EQ(States(&CHbControl::GetVisible), "1110 1111 1111");
    EXPECT_EQ(States(&CHbControl::GetEnabled), "1111 1111 0000");
    EXPECT_TRUE(dlg.m_memo.GetVisible());
    EXPECT_FALSE(dlg.Window()->windowIcon().isNull());
    EXPECT_TRUE(m_messages.Messages().empty());
    const std::vector<std::string> keys = { "01", "02" };
    EXPECT_EQ(dlg.m_aOwners, keys);
    EXPECT_EQ(Items(dlg.m_ownerCombo.GetItems()), keys);
    EXPECT_EQ(Items(dlg.m_replacementCombo.GetItems()), keys);
    EXPECT_EQ(dlg.m_ownerCombo.GetText() + dlg.m_replacementCombo.GetText(), "");
    // Services go by billing case or by line treater; unchecking checks nothing else.
    ExpectClicks({ { "", "0000 0000 1111" }, { "bl", "0000 0100 1111" }, { "m", "0000 0110 1111" },
                   { "b", "0000 1010 1111" }, { "mb", "0000 0000 1111" } });
}

TEST_F(KelvorDlgTest, TreaterModeOffersEveryTreaterNamedByItsStaffMember)
{
    Practice().Insert("PERSONALADR", { { "PERSONALID", "12" }, { "TITEL", "Dr." }, { "VORNAME", "Anna" },
                                       { "NAME", "Berger" } });
    Practice().Insert("LEB", { { "LEBID", "005" }, { "MDIDK", "01" }, { "MDIDP", "" }, { "PERSONALID", "" } });
    Practice().Insert("LEB", { { "LEBID", "006" }, { "MDIDK", "01" }, { "MDIDP", "02" }, { "PERSONALID", "12" } });
    Practice().Insert("LEB", { { "LEBID", "007" }, { "MDIDK", "" }, { "MDIDP", "02" }, { "PERSONALID", "13" } });
    CKelvorDlg& dlg = OpenDialog(true);   // the staff address of 007 is missing
    EXPECT_EQ(dlg.m_infoPanel.GetCaption(), Caption("Behandler"));
    EXPECT_EQ(dlg.m_replacementCombo.GetLabelText(), "Ersatz-Behandler:");
    EXPECT_EQ(States(&CHbControl::GetVisible), "0111 0111 0000");
    EXPECT_EQ(States(&CHbControl::GetEnabled), "1111 1111 0000");
    EXPECT_FALSE(dlg.m_memo.GetVisible());
    EXPECT_TRUE(m_messages.Messages().empty());
    const std::vector<std::string> texts = { "005", "006 - 12 (Dr. Anna Berger)", "007" };
    EXPECT_EQ(Items(dlg.m_treaterList.GetItems()), texts);
    EXPECT_EQ(Items(dlg.m_replacementCombo.GetItems()), texts);
    std::vector<std::string> rows;
    for (const TreaterEntry& entry : dlg.m_aTreaters)
        rows.push_back(entry.lebId + "|" + entry.cashOwnerId + "|" + entry.privateOwnerId);
    EXPECT_EQ(rows, (std::vector<std::string>{ "005|01|", "006|01|02", "007||02" }));
    // A treater's services by line treater and its patients by main treater exclude each other.
    ExpectClicks({ { "", "0000 0010 0000" }, { "l", "0000 0100 0000" }, { "m", "0000 0010 0000" },
                   { "m", "0000 0000 0000" } });
}

TEST_F(KelvorDlgTest, PracticeWithoutTreatersShowsTheDialogUnusableAndSaysWhy)
{
    CKelvorDlg& dlg = OpenDialog(true);
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].kind, MessageKind::HaltE);
    EXPECT_EQ(m_messages.Messages()[0].text, "Diese Praxis hat nur einen Behandler!");
    EXPECT_EQ(dlg.m_replacementCombo.GetText(), "");
    EXPECT_EQ(States(&CHbControl::GetEnabled), "0000 0000 0000");
    EXPECT_TRUE(dlg.Window()->isVisible());
}

// Title bar, Alt+F4 (both a close event) and Escape during a run leave the window
// up to the run's end; once it is over, closing ends the dialog.
TEST_F(KelvorDlgTest, ClosingTheWindowDuringARunDoesNothingAfterItEndsTheDialog)
{
    Practice().Insert("MANDANT", { { "MDID", "01" } });
    Practice().Insert("MANDANT", { { "MDID", "02" } });
    CKelvorDlg& dlg = OpenDialog(false);
    dlg.ShowWindow();
    QDialog& window = *dlg.Window();
    ASSERT_TRUE(dlg.m_ownerCombo.SelectText("02") && dlg.m_replacementCombo.SelectText("01"));
    m_messages.SetNextAnswer(SOLLICH_YES);
    m_messages.SetNextAnswer(IDNO);
    std::vector<bool> visible;
    CStatementLog::SetSink([&window, &visible](const std::string&) {
        window.close();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &escape);
        visible.push_back(window.isVisible());
    });
    dlg.m_btnStart.Click();
    CStatementLog::SetSink({});
    EXPECT_EQ(MemoLines().back(), "FERTIG!");
    EXPECT_FALSE(visible.empty());
    EXPECT_EQ(visible, std::vector<bool>(visible.size(), true));
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Rejected);
}

}
