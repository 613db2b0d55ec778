#include "DialogFixture.h"
#include "VqParams.h"
#include <algorithm>

namespace {

// Owner 03 (owner number 3) unless a test says otherwise.
class OwnerFileStoreTest : public DialogFixture {
protected:
    CKelvorDlg& OpenFor(const std::string& ownerKey)
    {
        CKelvorDlg& dlg = OpenDialog(false);
        dlg.m_strDeleteId = ownerKey;
        return dlg;
    }

    // Writes each file; a name ending in "/" is written as a folder holding one file.
    void Write(const std::string& folder, const std::vector<std::string>& names)
    {
        for (const std::string& name : names)
            Practice().WriteFile(folder + name + (name.ends_with('/') ? "inhalt.txt" : ""));
    }

    // Everything below the folder, relative to it.
    std::vector<std::string> Left(const std::string& folder)
    {
        std::vector<std::string> entries;
        for (const std::string& entry : Practice().ListTree())
            if (entry.starts_with(folder) && entry != folder)
                entries.push_back(entry.substr(folder.size()));
        return entries;
    }
};

using Names = std::vector<std::string>;

TEST_F(OwnerFileStoreTest, PrefixedFilesCarryTheNumberBetweenPrefixAndUnderscore)
{
    Write("daten/apps/", {"Logo3_Praxis.bmp", "LOGO03_x.jpg", "logo+3_a_b.png", "Logo13_x.bmp", "Logo_3.bmp",
                          "Logo3.bmp", "Logo3_alt/", "Lo3_x.bmp", "xLogo3_x.bmp", "Logo30_x.bmp"});
    OpenFor("03").DeleteOwnerPrefixedFiles(GetVqDataPath(0) + "apps\\", "Logo");
    EXPECT_EQ(Left("daten/apps/"), (Names{"Lo3_x.bmp", "Logo13_x.bmp", "Logo3.bmp", "Logo30_x.bmp", "Logo3_alt/",
                                          "Logo3_alt/inhalt.txt", "Logo_3.bmp", "xLogo3_x.bmp"}));
}

TEST_F(OwnerFileStoreTest, ExtensionFilesCarryTheNumberAfterTheFirstDot)
{
    Write("daten/bank/", {"konto.3", "bank.03.txt", "x.3abc", "y. 3", "bank.13", "bank3.txt", "bank.0",
                          "bank", "a.b.3", "f.3/"});
    OpenFor("03").DeleteOwnerExtensionFiles(GetVqDataPath(0) + "bank\\");
    EXPECT_EQ(Left("daten/bank/"), (Names{"a.b.3", "bank", "bank.0", "bank.13", "bank3.txt", "f.3/",
                                          "f.3/inhalt.txt"}));
}

TEST_F(OwnerFileStoreTest, FoldersNamedByTheNumberGoWithEverythingInThem)
{
    Write("daten/rz/", {"03/", "3 alt/", "+3/", "03/tief/", "13/", "30/", "abc/", "3"});
    OpenFor("03").DeleteOwnerFolders(GetVqDataPath(0) + "rz\\");
    EXPECT_EQ(Left("daten/rz/"), (Names{"13/", "13/inhalt.txt", "3", "30/", "30/inhalt.txt", "abc/",
                                        "abc/inhalt.txt"}));
}

// Only the last one or two characters before the first dot count; transfer data
// and its index stay; folders named by the number are searched at every depth.
TEST_F(OwnerFileStoreTest, QAFilesCarryTheNumberBeforeTheFirstDotAtEveryDepth)
{
    Write("qa/", {"QS3.xml", "Bericht03.pdf", "a3.txt", "R103.xml", "a3.b.c", "QS03.dta", "QS03.IDX",
                  "QS13.xml", ".3", ".03.xml", "a.3.xml", "QS3", "3/QS03.xml", "3/QS04.xml",
                  "3/03/x3.y", "3/4/x3.y", "4/QS03.xml", "03/QS3.xml"});
    OpenFor("03").DeleteOwnerQAFiles(GetVqQAPath());
    EXPECT_EQ(Left("qa/"), (Names{".03.xml", ".3", "03/", "3/", "3/03/", "3/4/", "3/4/x3.y", "3/QS04.xml", "4/",
                                  "4/QS03.xml", "QS03.IDX", "QS03.dta", "QS13.xml", "QS3", "a.3.xml"}));
}

// A stem of one character is that character's number: "3.txt" is owner 3's file
// and nobody else's, just as "a3.txt" is.
TEST_F(OwnerFileStoreTest, QAFileWithAOneCharacterStemBelongsToThatNumber)
{
    Write("qa/", {"3.txt", "13.txt", "x.txt"});
    OpenFor("13").DeleteOwnerQAFiles(GetVqQAPath());
    EXPECT_EQ(Left("qa/"), (Names{"3.txt", "x.txt"}));
    Dlg().m_strDeleteId = "03";
    Dlg().DeleteOwnerQAFiles(GetVqQAPath());
    EXPECT_EQ(Left("qa/"), Names{"x.txt"});
}

// Names without digits read as 0 and negative numbers can be written into a
// name, so a key that reads as no positive number must remove nothing at all.
TEST_F(OwnerFileStoreTest, KeyThatReadsAsNoPositiveNumberRemovesNothing)
{
    const Names apps = {"Logo0_x.bmp", "Logox_x.bmp", "Logo-3_x.bmp"};
    const Names bank = {"konto.0", "konto.x", "konto.-3"};
    const Names rz = {"0/", "-3/", "x/"};
    const Names qa = {"QS.xml", "a.txt", "00.txt", "-3.txt", "QS00.xml", "x/", "-3/", "0/"};
    Write("daten/apps/", apps);
    Write("daten/bank/", bank);
    Write("daten/rz/", rz);
    Write("qa/", qa);
    OpenFor("");
    const std::vector<std::string> before = Practice().ListTree();
    for (const std::string key : {"", "xy", "00", "-3", " -03", "0'"}) {
        Dlg().m_strDeleteId = key;
        Dlg().DeleteOwnerPrefixedFiles(GetVqDataPath(0) + "apps\\", "Logo");
        Dlg().DeleteOwnerExtensionFiles(GetVqDataPath(0) + "bank\\");
        Dlg().DeleteOwnerFolders(GetVqDataPath(0) + "rz\\");
        Dlg().DeleteOwnerQAFiles(GetVqQAPath());
        EXPECT_EQ(Practice().ListTree(), before) << "key '" << key << "'";
    }
}

} // namespace
