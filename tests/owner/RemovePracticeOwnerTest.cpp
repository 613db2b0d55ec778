#include "DialogFixture.h"
#include <algorithm>

namespace {

using Lines = std::vector<std::string>;
using RemovePracticeOwner = DialogFixture;

} // namespace

// Owner 3' goes to 1'. Its key holds a quote, doubled wherever it enters a
// statement, and still reads as owner number 3 in the file store. The highest
// owner goes, so the pool takes the next lower one rather than the replacement.
// The failed move of the appointments is traced; the later delete takes them.
TEST_F(RemovePracticeOwner, RunsEveryStatementInOrderAndLeavesOnlyOtherOwnersData)
{
    const TestPractice& p = Practice();
    const auto store = [&p] {  // the data and QA folders
        std::vector<std::string> tree = p.ListTree();
        std::erase_if(tree, [](const std::string& entry) { return !entry.starts_with("daten/") && !entry.starts_with("qa/"); });
        return tree;
    };
    Lines before;
    for (const std::string owner : {"1'", "3'"}) {
        before = store();  // ends as the store without owner 3's entries
        p.WriteFile("daten/fotos/mandant" + owner + ".jpg");
        p.WriteFile("daten/apps/Logo" + owner.substr(0, 1) + "_Praxis.bmp");
        p.WriteFile("daten/bank/konto." + owner.substr(0, 1));
        p.WriteFile("daten/rz/" + owner + "/abrechnung.txt");
        p.WriteFile("qa/QS" + owner.substr(0, 1) + ".xml");
    }
    p.InsertRows("MANDANT", "MDID", {"1'", "2'", "3'"});
    p.InsertRows("NUMBERPOOL", "ID|MDID|LEBID|PATNR", {"1|3'|007|000042"});
    p.InsertRows("LEB", "LEBID|MDIDK|MDIDP", {"001|3'|3'"});
    p.InsertRows("WORKSTATION", "WORKSTATIONID|QAMDID", {"1|3'"});
    p.InsertRows("ETSSTERMIN", "LFDNR|MDID|PATNR", {"1|3'|000001", "2|2'|000002"});
    p.Exec("CREATE TRIGGER FAIL BEFORE UPDATE ON ETSSTERMIN BEGIN SELECT RAISE(ABORT,'test'); END");
    // Owner and patient documents whose key begins with the owner's key go.
    p.InsertRows("DOKUMENT", "LFDDOKUMENT|DOKUMENTART|DOKUMENTKEY",
                 {"1|m|3'", "2|p|3'005", "3|m|3'A", "4|x|3'", "5|p|03'", "6|m|2'"});
    CKelvorDlg& dlg = OpenDialog(false);
    dlg.m_strDeleteId = "3'";
    dlg.m_strReplacementId = "1'";

    EXPECT_TRUE(dlg.RemovePracticeOwner());

    EXPECT_EQ(m_statements, (Lines{
        "UPDATE WORKSTATION SET QAMDID='' WHERE QAMDID='3'''", "DELETE FROM SBBESTELLUNG WHERE MDID='3'''",
        "DELETE FROM SBBESTELLENTRY WHERE MDID='3'''", "UPDATE REZEPT SET MDID='1''' WHERE MDID='3'''",
        "DELETE FROM MDPRAXISPROFIL WHERE MDID='3'''", "DELETE FROM KTRAEGER WHERE MDID='3'''",
        "DELETE FROM BANKEN WHERE MDID='3'''", "DELETE FROM FLABS WHERE MDID='3'''",
        "DELETE FROM MDFIBUPROFIL WHERE MDID='3'''", "DELETE FROM FORMULAR WHERE MDID='3'''",
        "DELETE FROM FORMABLAGE WHERE MDID='3'''", "DELETE FROM FORMULARLUPB WHERE MDID='3'''",
        "UPDATE LEB SET MDIDK='1''' WHERE MDIDK='3'''", "UPDATE LEB SET MDIDP='1''' WHERE MDIDP='3'''",
        "DELETE FROM FRAGEBOGEN WHERE MDID='3'''", "DELETE FROM FRAGEBOGENENTRY WHERE MDID='3'''",
        "UPDATE PATINFO SET MDID='1''' WHERE MDID='3'''", "DELETE FROM EINWILLIGUNG WHERE MDID='3'''",
        "DELETE FROM BILLRULE WHERE MDID='3'''", "UPDATE CASHPAY SET MDID='1''' WHERE MDID='3'''",
        "UPDATE EBZ SET MDID='1''' WHERE MDID='3'''", "UPDATE ETSSTERMIN SET MDID='1''' WHERE MDID='3'''",
        "DELETE FROM KONTO WHERE MDID='3'''", "DELETE FROM QAHIT WHERE MDID='3'''",
        "DELETE FROM KFOHIT WHERE MDID='3'''", "DELETE FROM SCHNITTSTELLEN WHERE MDID='3'''",
        "DELETE FROM MATERIALBUCH WHERE MDID='3'''",
        "DELETE FROM DOKUMENT WHERE DOKUMENTART IN ('m','p') AND DOKUMENTKEY LIKE '3''%'",
        "DELETE FROM ETSSTERMIN WHERE MDID='3'''", "DELETE FROM MANDANT WHERE MDID='3'''",
        "UPDATE NUMBERPOOL SET MDID = (SELECT MAX(MDID) FROM MANDANT)",
    }));
    EXPECT_EQ(m_traces, Lines{"CKelvorDlg::ExecuteSQL: UPDATE ETSSTERMIN SET MDID='1''' WHERE MDID='3'''\n"
                              "test"});
    EXPECT_EQ(MemoLines(), Lines{"Lösche Praxisinhaber..."});
    EXPECT_EQ(store(), before);
    EXPECT_EQ(p.Dump("MANDANT"), "1'||\n2'||\n");
    EXPECT_EQ(p.Dump("NUMBERPOOL"), "1|2'|007|000042\n");
    EXPECT_EQ(p.Dump("LEB"), "001|1'|1'||\n");
    EXPECT_EQ(p.Dump("WORKSTATION"), "1|||\n");  // cleared, not given to the replacement
    EXPECT_EQ(p.Dump("ETSSTERMIN"), "2|2'||000002\n");
    EXPECT_EQ(p.Dump("DOKUMENT"), "4|x|3'||\n5|p|03'||\n6|m|2'||\n");
}

// Wildcards in the owner's key are escaped, the escape character with them; a key
// without a wildcard keeps the plain statement even when it holds the escape character.
// Owners whose key begins with the removed key keep their documents, by the same pattern.
TEST_F(RemovePracticeOwner, TheDocumentStatementMatchesTheKeyAsAPrefixOnly)
{
    const TestPractice& p = Practice();
    p.InsertRows("MANDANT", "MDID", {"0!_1", "0_7"});
    p.InsertRows("DOKUMENT", "LFDDOKUMENT|DOKUMENTART|DOKUMENTKEY",
                 {"1|m|0_", "2|m|0_7", "3|m|01", "4|m|0%", "5|m|0!_", "6|m|0!_1", "7|m|0!", "8|m|0!1", "9|m|0!%"});
    CKelvorDlg& dlg = OpenDialog(false);
    dlg.m_strReplacementId = "99";
    const std::string like = "DELETE FROM DOKUMENT WHERE DOKUMENTART IN ('m','p') AND DOKUMENTKEY LIKE ";
    const struct {
        std::string key, statement, left;
    } cases[] = {
        {"0_", like + "'0!_%' ESCAPE '!' AND DOKUMENTKEY NOT LIKE '0!_7%' ESCAPE '!'", "0_7 01 0% 0!_ 0!_1 0! 0!1 0!%"},
        {"0!_", like + "'0!!!_%' ESCAPE '!' AND DOKUMENTKEY NOT LIKE '0!!!_1%' ESCAPE '!'", "0_7 01 0% 0!_1 0! 0!1 0!%"},
        {"0!", like + "'0!%' AND DOKUMENTKEY NOT LIKE '0!!!_1%' ESCAPE '!'", "0_7 01 0% 0!_1"},
    };
    for (const auto& c : cases) {
        m_statements.clear();
        dlg.m_strDeleteId = c.key;
        dlg.RemovePracticeOwner();
        EXPECT_EQ(std::ranges::count(m_statements, c.statement), 1) << c.key;
        std::string left;
        for (const auto& row : p.Query("SELECT DOKUMENTKEY FROM DOKUMENT ORDER BY LFDDOKUMENT"))
            left += (left.empty() ? "" : " ") + row.front();
        EXPECT_EQ(left, c.left) << c.key;
    }
}
