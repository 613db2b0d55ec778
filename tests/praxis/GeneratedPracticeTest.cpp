#include "IniFile.h"
#include "PracticeGenerator.h"
#include "Schema.h"
#include "TestPractice.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

using Strings = std::vector<std::string>;
using Where = std::pair<const char*, std::string>;  // table, condition

Strings FileTree(const std::string& folder)
{
    Strings entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        entries.push_back(fs::relative(entry.path(), folder).string() + (entry.is_directory() ? "/" : ""));
    std::ranges::sort(entries);
    return entries;
}

CIniFile Settings(const std::string& folder)
{
    return CIniFile::Load(folder + "/vqparams.ini");
}

// Rows of one table that the other lacks, both ways.
long Differing(const TestPractice& practice, const std::string& one, const std::string& other)
{
    return std::stol(practice.Scalar("SELECT (SELECT COUNT(*) FROM (SELECT * FROM " + one + " EXCEPT SELECT * FROM " + other
                                     + ")) + (SELECT COUNT(*) FROM (SELECT * FROM " + other + " EXCEPT SELECT * FROM " + one + "))"));
}

} // namespace

TEST(EmptyPracticeTest, SettingsDatabaseAndFoldersWithoutRowsOrLeftovers)
{
    const QTemporaryDir dir;
    const std::string folder = dir.filePath(QStringLiteral("leer")).toStdString();
    CreateEmptyPractice(folder, PracticeOptions{});
    EXPECT_EQ(FileTree(folder), (Strings{"daten/", "log/", "praxis.db", "qa/", "vqparams.ini"}));
    const CIniFile settings = Settings(folder);
    EXPECT_EQ(settings.Bytes(), "[Datenbank]\nVerbindung=sqlite:praxis.db\n[Pfade]\nDaten=daten\nLog=log\nQA=qa\n"
                                "[Kennwort]\nHash=" + settings.Value("Kennwort", "Hash") + "\n");
    EXPECT_TRUE(settings.Value("Kennwort", "Hash").starts_with("$argon2id$"));
    using fs::perms;
    EXPECT_EQ(fs::status(folder + "/vqparams.ini").permissions(), perms::owner_read | perms::owner_write);
    const TestPractice practice;
    for (const TableDef& table : PracticeSchema())
        EXPECT_EQ(practice.Count(table.name), 0) << table.name;
    EXPECT_EQ(practice.Scalar("PRAGMA journal_mode"), "wal");
}

// The same seed gives the same rows and files, another seed other rows; the
// password hash is salted, so it differs even for the same seed.
TEST(GeneratedPracticeTest, SameSeedGivesTheSamePracticeAnotherSeedOtherRows)
{
    const QTemporaryDir dir;
    const TestPractice practice;
    for (const auto& [name, seed] : {std::pair<std::string, unsigned>{"a", 5}, {"b", 5}, {"c", 6}})
        CreatePractice(dir.filePath(QString::fromStdString(name)).toStdString(), PracticeOptions{.seed = seed, .patients = 150, .connect = {}});
    const std::string a = dir.filePath(QStringLiteral("a")).toStdString(), b = dir.filePath(QStringLiteral("b")).toStdString();
    EXPECT_EQ(FileTree(a), FileTree(b));
    EXPECT_NE(Settings(a).Value("Kennwort", "Hash"), Settings(b).Value("Kennwort", "Hash"));
    for (const std::string name : {"a", "b", "c"})
        practice.Exec("ATTACH DATABASE '" + dir.filePath(QString::fromStdString(name)).toStdString() + "/praxis.db' AS " + name);
    for (const TableDef& table : PracticeSchema())
        EXPECT_EQ(Differing(practice, "a." + table.name, "b." + table.name), 0) << table.name;
    for (const std::string table : {"ADR", "PAT", "BEH", "BILL", "PERSONALADR"})
        EXPECT_GT(Differing(practice, "a." + table, "c." + table), 0) << table;
}

// What the removal steps act on is in every generated practice, and every key
// that names a row of another table finds it.
TEST(GeneratedPracticeTest, PracticeHoldsWhatTheRemovalStepsActOn)
{
    const TestPractice practice(1, 200);
    for (const TableDef& table : PracticeSchema())
        EXPECT_GT(practice.Count(table.name), 0) << table.name;
    EXPECT_EQ(practice.Count("PAT"), 200);
    const auto owners = practice.Query("SELECT MDID FROM MANDANT ORDER BY MDID");
    ASSERT_TRUE(owners.size() == 4 || owners.size() == 5) << owners.size();
    for (std::size_t i = 0; i < owners.size(); ++i)
        EXPECT_EQ(owners[i], Strings{"0" + std::to_string(i + 1)});
    EXPECT_EQ(practice.Query("SELECT * FROM NUMBERPOOL"),
              (std::vector<Strings>{{"1", owners.back()[0], practice.Scalar("SELECT MAX(LEBID) FROM LEB"), "000200"}}));
    const Where some[]{
        {"LEB", "MDIDK<>'' AND MDIDP<>'' AND MDIDK<>MDIDP"}, {"LEB", "MDIDK<>'' AND MDIDK=MDIDP"},
        {"LEB", "MDIDK='' AND MDIDP<>''"}, {"LEB", "MDIDK<>'' AND MDIDP=''"}, {"PERSONALADR", "TITEL='Dr.'"},
        {"PERSONALADR", "PERSONALID NOT IN (SELECT PERSONALID FROM LEB)"}, {"WORKSTATION", "QAMDID<>''"},
        {"WORKSTATION", "QAMDID=''"}, {"WORKSTATION", "PHLEBID<>''"}, {"WORKSTATION", "PHLEBID=''"},
        {"PAT", "ADRID=''"}, {"PAT", "STAMMLEBID=''"}, {"PAT", "IPLEBID<>''"}, {"PAT", "PATNR NOT IN (SELECT PATNR FROM BEH)"},
        {"ADR", "ORT='München' OR ORT='Köln' OR ORT='Düsseldorf' OR STRASSE LIKE '%straße%'"},
        {"BEH", "LFDARCHIV<>''"}, {"BEH", "LFDPATBILL=''"},
        {"BEH", "LEBID NOT IN (SELECT STAMMLEBID FROM PAT WHERE PAT.PATNR=BEH.PATNR)"},
        // Services naming a billing case that has to be regenerated.
        {"BEH", "LFDPATBILL<>'' AND NOT EXISTS (SELECT 1 FROM BILL B WHERE B.PATNR=BEH.PATNR AND B.LFDPATBILL=BEH.LFDPATBILL)"},
        {"BILL", "ABRTYP GLOB '[a-z]'"}, {"BILL", "ABRTYP GLOB '[A-Z]'"}, {"BILL", "ABRTYP=''"},
        {"FBUCHUNG", "PATNR='' AND MDID<>''"}, {"LBLOCK", "RECHNR<>''"}, {"LBLOCK", "RECHNR=''"}, {"GLBLOC", "LFDGLKUFAKT=''"},
        {"GLKUFAKT", "NOT EXISTS (SELECT 1 FROM GLBLOC B WHERE B.LFDGLKU=GLKUFAKT.LFDGLKU AND B.LFDGLKUFAKT=GLKUFAKT.LFDGLKUFAKT)"},
        {"GLKUFAKT", "EXISTS (SELECT 1 FROM GLBLOC B WHERE B.LFDGLKU=GLKUFAKT.LFDGLKU AND B.LFDGLKUFAKT=GLKUFAKT.LFDGLKUFAKT)"},
        {"DOKUMENT", "DOKUMENTART='m'"}, {"DOKUMENT", "DOKUMENTART='p'"}, {"DOKUMENT", "DOKUMENTART NOT IN ('m','p')"},
    };
    for (const auto& [table, where] : some)
        EXPECT_GT(practice.Count(table, where), 0) << table << " WHERE " << where;
    for (const std::string type : {"b", "s", "i", "p", "k", "r", "x", "B", "bb"})
        for (const std::string number : {"LFDBEFUND<>''", "LFDBEFUND=''"})
            EXPECT_GT(practice.Count("BEH", "BEFUNDART='" + type + "' AND " + number), 0) << type << ' ' << number;
    for (const std::string part : {"G", "S", "P"}) {
        EXPECT_GT(practice.Count("BILL", part + "LFDFAKT<>'' AND " + part + "ABRWUNSCHDATUM<>''"), 0) << part;
        EXPECT_EQ(practice.Count("BILL", part + "LFDFAKT<>'' AND NOT EXISTS (SELECT 1 FROM FAKT F WHERE F.MDID=BILL.MDID "
                                 "AND F.PATNR=BILL.PATNR AND F.LFDFAKT=BILL." + part + "LFDFAKT)"), 0) << part;
    }
    const Where none[]{
        {"MANDANT", "MDID NOT IN (SELECT MDIDK FROM LEB UNION SELECT MDIDP FROM LEB)"},
        {"PAT", "ADRID<>'' AND ADRID NOT IN (SELECT ADRID FROM ADR)"},
        {"PAT", "STAMMLEBID<>'' AND STAMMLEBID NOT IN (SELECT LEBID FROM LEB)"},
        {"BEH", "BEFUNDART IN ('b','s','i','p') AND LFDBEFUND<>'' AND NOT EXISTS (SELECT 1 FROM ABEFUND F "
                "WHERE F.PATNR=BEH.PATNR AND F.LFDABEFUND=BEH.LFDBEFUND)"},
        {"BEH", "BEFUNDART='k' AND LFDBEFUND<>'' AND NOT EXISTS (SELECT 1 FROM KFOBEFUND F "
                "WHERE F.PATNR=BEH.PATNR AND F.LFDKFOBEFUND=BEH.LFDBEFUND)"},
        {"BEH", "BEFUNDART='r' AND LFDBEFUND<>'' AND NOT EXISTS (SELECT 1 FROM ROEBEFUND F "
                "WHERE F.PATNR=BEH.PATNR AND F.LFDROEBEFUND=BEH.LFDBEFUND)"},
        {"BEH", "LFDARCHIV<>'' AND NOT EXISTS (SELECT 1 FROM ARCHIV A WHERE A.PATNR=BEH.PATNR AND A.LFDARCHIV=BEH.LFDARCHIV)"},
        {"BILL", "NOT EXISTS (SELECT 1 FROM BEH WHERE BEH.PATNR=BILL.PATNR AND BEH.LFDPATBILL=BILL.LFDPATBILL)"},
        {"CASH", "NOT EXISTS (SELECT 1 FROM FAKT F WHERE F.MDID=CASH.MDID AND F.PATNR=CASH.PATNR AND F.LFDFAKT=CASH.LFDFAKT)"},
        {"FAKT", "NOT EXISTS (SELECT 1 FROM FBUCHUNG J WHERE J.MDID=FAKT.MDID AND J.PATNR=FAKT.PATNR "
                 "AND J.LFDFAKT=FAKT.LFDFAKT AND J.LFDCASH='')"},
        {"CASH", "NOT EXISTS (SELECT 1 FROM FBUCHUNG J WHERE J.MDID=CASH.MDID AND J.PATNR=CASH.PATNR AND J.LFDCASH=CASH.LFDCASH)"},
        {"LBLOCKENTRY", "NOT EXISTS (SELECT 1 FROM LBLOCK L WHERE L.PATNR=LBLOCKENTRY.PATNR "
                        "AND L.LFDPLAN=LBLOCKENTRY.LFDPLAN AND L.LFDLBLOCK=LBLOCKENTRY.LFDLBLOCK)"},
        {"GLBLOCENTRY", "NOT EXISTS (SELECT 1 FROM GLBLOC B WHERE B.LFDGLKU=GLBLOCENTRY.LFDGLKU AND B.LFDGLBLOC=GLBLOCENTRY.LFDGLBLOC)"},
        // Every document key begins with an owner key.
        {"DOKUMENT", "substr(DOKUMENTKEY,1,2) NOT IN (SELECT MDID FROM MANDANT)"},
    };
    for (const auto& [table, where] : none)
        EXPECT_EQ(practice.Count(table, where), 0) << table << " WHERE " << where;
    EXPECT_EQ(practice.Count("LEB", "PERSONALID=''"), 1);
    EXPECT_EQ(practice.Count("LEB", "PERSONALID<>'' AND PERSONALID NOT IN (SELECT PERSONALID FROM PERSONALADR)"), 1);
}

// Each owner's files lie beside decoys that only look alike; the last owner has no photo.
TEST(GeneratedPracticeTest, FileStoreHoldsEachOwnersFilesBesideDecoys)
{
    const TestPractice practice(1, 200);
    const auto owners = practice.Query("SELECT MDID FROM MANDANT ORDER BY MDID");
    for (const auto& row : owners) {
        const std::string owner = row.at(0), number = owner.substr(1);
        for (const std::string& file : {"daten/apps/Logo" + number + "_Praxis.bmp", "daten/bank/konto." + number,
                                       "daten/rz/" + number + "/Abrechnung.dat", "qa/QS" + owner + ".xml",
                                       "qa/Bericht" + owner + ".pdf", "qa/QS" + owner + ".dta", "qa/QS" + owner + ".idx",
                                       "qa/" + number + "/QS" + owner + ".xml"})
            EXPECT_TRUE(practice.Exists(file)) << file;
        EXPECT_EQ(practice.Exists("daten/fotos/mandant" + owner + ".jpg"), row != owners.back()) << owner;
    }
    for (const char* decoy : {"daten/apps/Logo13_x.bmp", "daten/apps/Logo_3.bmp", "daten/bank/bank.13", "daten/rz/30/",
                              "qa/QS13.xml", "qa/13/QS13.xml"})
        EXPECT_TRUE(practice.Exists(decoy)) << decoy;
    long folders = 0;
    for (const auto& entry : fs::directory_iterator(practice.DataPath() + "pat")) {
        EXPECT_EQ(practice.Count("PAT", "PATNR='" + entry.path().filename().string() + "'"), 1);
        EXPECT_TRUE(fs::is_regular_file(entry.path() / "Befund.pdf"));
        ++folders;
    }
    EXPECT_GT(folders, 0);
}
