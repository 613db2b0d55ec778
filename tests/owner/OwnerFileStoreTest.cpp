#include "DialogFixture.h"
#include "VqParams.h"

namespace {

using Names = std::vector<std::string>;

// One naming scheme: its folder below the practice folder, the walk over it, the
// entries written (a name ending in "/" is a folder holding one file) and those
// owner 03 must leave.
struct Scheme {
    std::string folder;
    void (*remove)(CKelvorDlg&);
    Names written, left;
};

const std::vector<Scheme> kSchemes = {
    // The number stands between the prefix and the first "_".
    {"daten/apps/", [](CKelvorDlg& dlg) { dlg.DeleteOwnerPrefixedFiles(GetVqDataPath(0) + "apps\\", "Logo"); },
     {"Logo3_Praxis.bmp", "LOGO03_x.jpg", "logo+3_a_b.png", "Logo13_x.bmp", "Logo_3.bmp", "Logo3.bmp", "Logo3_alt/",
      "Lo3_x.bmp", "xLogo3_x.bmp", "Logo30_x.bmp", "Logo0_x.bmp", "Logox_x.bmp", "Logo-3_x.bmp"},
     {"Lo3_x.bmp", "Logo-3_x.bmp", "Logo0_x.bmp", "Logo13_x.bmp", "Logo3.bmp", "Logo30_x.bmp", "Logo3_alt/",
      "Logo3_alt/inhalt.txt", "Logo_3.bmp", "Logox_x.bmp", "xLogo3_x.bmp"}},
    // The number follows the first dot.
    {"daten/bank/", [](CKelvorDlg& dlg) { dlg.DeleteOwnerExtensionFiles(GetVqDataPath(0) + "bank\\"); },
     {"konto.3", "bank.03.txt", "x.3abc", "y. 3", "bank.13", "bank3.txt", "bank.0", "bank", "a.b.3", "f.3/", "konto.x",
      "konto.-3"},
     {"a.b.3", "bank", "bank.0", "bank.13", "bank3.txt", "f.3/", "f.3/inhalt.txt", "konto.-3", "konto.x"}},
    // Folders named by the number go with everything in them.
    {"daten/rz/", [](CKelvorDlg& dlg) { dlg.DeleteOwnerFolders(GetVqDataPath(0) + "rz\\"); },
     {"03/", "3 alt/", "+3/", "03/tief/", "13/", "30/", "abc/", "3", "0/", "-3/"},
     {"-3/", "-3/inhalt.txt", "0/", "0/inhalt.txt", "13/", "13/inhalt.txt", "3", "30/", "30/inhalt.txt", "abc/",
      "abc/inhalt.txt"}},
    // The last one or two digits before the first dot, a one-character stem read
    // alone; transfer data and its index stay; folders named by the number are
    // searched at every depth and stay themselves.
    {"qa/", [](CKelvorDlg& dlg) { dlg.DeleteOwnerQAFiles(GetVqQAPath()); },
     {"QS3.xml", "Bericht03.pdf", "a3.txt", "R103.xml", "a3.b.c", "QS03.dta", "QS03.IDX", "QS13.xml", ".3", ".03.xml",
      "a.3.xml", "QS3", "3/QS03.xml", "3/QS04.xml", "3/03/x3.y", "3/4/x3.y", "4/QS03.xml", "03/QS3.xml", "3.txt",
      "13.txt", "QS.xml", "00.txt", "-3.txt", "0/"},
     {".03.xml", ".3", "0/", "0/inhalt.txt", "00.txt", "03/", "13.txt", "3/", "3/03/", "3/4/", "3/4/x3.y",
      "3/QS04.xml", "4/", "4/QS03.xml", "QS.xml", "QS03.IDX", "QS03.dta", "QS13.xml", "QS3", "a.3.xml"}},
};

using OwnerFileStore = DialogFixture;

} // namespace

// Names without digits read as 0 and negative numbers can be written into a name,
// so a key that reads as no positive number must remove nothing at all.
TEST_F(OwnerFileStore, EachSchemeRemovesExactlyTheEntriesOfTheOwnerNumber)
{
    for (const Scheme& scheme : kSchemes)
        for (const std::string& name : scheme.written)
            Practice().WriteFile(scheme.folder + name + (name.ends_with('/') ? "inhalt.txt" : ""));
    CKelvorDlg& dlg = OpenDialog(false);
    const Names before = Practice().ListTree();
    for (const std::string key : {"", "xy", "00", "-3", " -03", "0'"}) {
        dlg.m_strDeleteId = key;
        for (const Scheme& scheme : kSchemes)
            scheme.remove(dlg);
        EXPECT_EQ(Practice().ListTree(), before) << "key '" << key << "'";
    }
    dlg.m_strDeleteId = "03";
    for (const Scheme& scheme : kSchemes) {
        scheme.remove(dlg);
        Names left;
        for (const std::string& entry : Practice().ListTree())
            if (entry.starts_with(scheme.folder) && entry != scheme.folder)
                left.push_back(entry.substr(scheme.folder.size()));
        EXPECT_EQ(left, scheme.left) << scheme.folder;
    }
}
