#include "PracticeGenerator.h"
#include "Schema.h"
#include "TestPractice.h"
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSettings>
#include <QTemporaryDir>
#include <QVariant>
#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

namespace fs = std::filesystem;

namespace {

using Rows = std::vector<std::vector<std::string>>;

// Every table of a practice database, one line per row in primary-key order.
std::map<std::string, std::string> DumpDatabase(const std::string& file)
{
    const QString name = QStringLiteral("dump-") + QString::fromStdString(file);
    std::map<std::string, std::string> dumps;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QString::fromStdString(file));
        if (!db.open())
            throw std::runtime_error("cannot open " + file);
        for (const TableDef& table : PracticeSchema()) {
            std::string order;
            for (const std::string& column : table.primaryKey)
                order += (order.empty() ? "" : ",") + column;
            QSqlQuery query(db);
            if (!query.exec(QString::fromStdString("SELECT * FROM " + table.name + " ORDER BY " + order)))
                throw std::runtime_error(query.lastError().text().toStdString());
            std::string& dump = dumps[table.name];
            while (query.next()) {
                for (int i = 0; i < query.record().count(); ++i)
                    dump += (i == 0 ? "" : "|") + query.value(i).toString().toStdString();
                dump += '\n';
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    return dumps;
}

std::vector<std::string> FileTree(const fs::path& folder)
{
    std::vector<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        entries.push_back(fs::relative(entry.path(), folder).string() + (entry.is_directory() ? "/" : ""));
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::string Generate(const QTemporaryDir& dir, const std::string& name, unsigned seed, long patients)
{
    const std::string folder = dir.filePath(QString::fromStdString(name)).toStdString();
    PracticeOptions options;
    options.seed = seed;
    options.patients = patients;
    CreatePractice(folder, options);
    return folder;
}

} // namespace

TEST(PracticeSchemaTest, EmptyPracticeHoldsEveryTableWithItsColumnsKeyAndIndexesAndNoRows)
{
    const TestPractice practice;
    for (const TableDef& table : PracticeSchema()) {
        SCOPED_TRACE(table.name);
        std::vector<std::string> columns;
        for (const auto& row : practice.Query("SELECT name FROM pragma_table_info('" + table.name + "') ORDER BY cid"))
            columns.push_back(row.at(0));
        EXPECT_EQ(columns, table.columns);
        std::vector<std::string> key;
        for (const auto& row : practice.Query("SELECT name FROM pragma_table_info('" + table.name + "') WHERE pk>0 ORDER BY pk"))
            key.push_back(row.at(0));
        EXPECT_EQ(key, table.primaryKey);
        std::map<std::string, std::vector<std::string>> indexes;
        for (const auto& row : practice.Query("SELECT l.name, i.name FROM pragma_index_list('" + table.name
                                              + "') l, pragma_index_info(l.name) i WHERE l.origin='c' ORDER BY l.name, i.seqno"))
            indexes[row.at(0)].push_back(row.at(1));
        std::set<std::vector<std::string>> made;
        for (const auto& [name, indexColumns] : indexes)
            made.insert(indexColumns);
        EXPECT_EQ(made, std::set<std::vector<std::string>>(table.indexes.begin(), table.indexes.end()));
        EXPECT_EQ(practice.Count(table.name), 0);
    }
    EXPECT_EQ(practice.Scalar("PRAGMA journal_mode"), "wal");
}

TEST(PracticeSchemaTest, EmptyPracticeIsSettingsDatabaseAndFoldersWithoutLeftovers)
{
    const QTemporaryDir dir;
    const std::string folder = dir.filePath(QStringLiteral("leer")).toStdString();
    CreateEmptyPractice(folder, PracticeOptions{});
    EXPECT_EQ(FileTree(folder), (std::vector<std::string>{"daten/", "log/", "praxis.db", "qa/", "vqparams.ini"}));
    const QSettings settings(QString::fromStdString(folder + "/vqparams.ini"), QSettings::IniFormat);
    EXPECT_EQ(settings.allKeys(), (QStringList{QStringLiteral("Datenbank/Verbindung"), QStringLiteral("Kennwort/Hash"),
                                               QStringLiteral("Pfade/Daten"), QStringLiteral("Pfade/Log"), QStringLiteral("Pfade/QA")}));
    EXPECT_EQ(settings.value(QStringLiteral("Pfade/Daten")), QStringLiteral("daten"));
    EXPECT_EQ(settings.value(QStringLiteral("Pfade/Log")), QStringLiteral("log"));
    EXPECT_EQ(settings.value(QStringLiteral("Pfade/QA")), QStringLiteral("qa"));
}

TEST(PracticeDeterminismTest, SameSeedGivesSameRowsAndFilesAnotherSeedOtherRows)
{
    const QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string first = Generate(dir, "a", 5, 150);
    const std::string second = Generate(dir, "b", 5, 150);
    const std::string other = Generate(dir, "c", 6, 150);
    const auto firstDump = DumpDatabase(first + "/praxis.db");
    EXPECT_EQ(firstDump, DumpDatabase(second + "/praxis.db"));
    EXPECT_EQ(FileTree(first), FileTree(second));
    const auto otherDump = DumpDatabase(other + "/praxis.db");
    for (const char* table : {"ADR", "PAT", "BEH", "BILL", "PERSONALADR"})
        EXPECT_NE(firstDump.at(table), otherDump.at(table)) << table;
    // Salted: the same password never gives the same hash twice.
    EXPECT_NE(QSettings(QString::fromStdString(first + "/vqparams.ini"), QSettings::IniFormat).value(QStringLiteral("Kennwort/Hash")),
              QSettings(QString::fromStdString(second + "/vqparams.ini"), QSettings::IniFormat).value(QStringLiteral("Kennwort/Hash")));
}

// What the removal steps act on must be in every generated practice.
class GeneratedPracticeTest : public ::testing::Test {
protected:
    GeneratedPracticeTest() : practice(1, 200) {}

    long Count(const std::string& table, const std::string& where) const { return practice.Count(table, where); }
    std::vector<std::string> Column(const std::string& sql) const
    {
        std::vector<std::string> values;
        for (const auto& row : practice.Query(sql))
            values.push_back(row.at(0));
        return values;
    }

    TestPractice practice;
};

TEST_F(GeneratedPracticeTest, EveryTableHasRows)
{
    for (const TableDef& table : PracticeSchema())
        EXPECT_GT(practice.Count(table.name), 0) << table.name;
    EXPECT_EQ(practice.Count("PAT"), 200);
}

TEST_F(GeneratedPracticeTest, OwnersAndTreatersCoverEveryOwnerCombination)
{
    const auto owners = Column("SELECT MDID FROM MANDANT ORDER BY MDID");
    ASSERT_GE(owners.size(), 4u);
    ASSERT_LE(owners.size(), 5u);
    for (std::size_t i = 0; i < owners.size(); ++i)
        EXPECT_EQ(owners[i], "0" + std::to_string(i + 1));
    EXPECT_EQ(Count("MANDANT", "MDID NOT IN (SELECT MDIDK FROM LEB UNION SELECT MDIDP FROM LEB)"), 0);
    EXPECT_GT(Count("LEB", "MDIDK<>'' AND MDIDP<>'' AND MDIDK<>MDIDP"), 0);
    EXPECT_GT(Count("LEB", "MDIDK<>'' AND MDIDK=MDIDP"), 0);
    EXPECT_GT(Count("LEB", "MDIDK='' AND MDIDP<>''"), 0);
    EXPECT_GT(Count("LEB", "MDIDK<>'' AND MDIDP=''"), 0);
    EXPECT_EQ(Count("LEB", "PERSONALID=''"), 1);
    EXPECT_EQ(Count("LEB", "PERSONALID<>'' AND PERSONALID NOT IN (SELECT PERSONALID FROM PERSONALADR)"), 1);
    EXPECT_GT(Count("PERSONALADR", "TITEL='Dr.'"), 0);
    EXPECT_GT(Count("PERSONALADR", "PERSONALID NOT IN (SELECT PERSONALID FROM LEB)"), 0);
    EXPECT_GT(Count("WORKSTATION", "QAMDID<>''"), 0);
    EXPECT_GT(Count("WORKSTATION", "QAMDID=''"), 0);
    EXPECT_GT(Count("WORKSTATION", "PHLEBID<>''"), 0);
    EXPECT_GT(Count("WORKSTATION", "PHLEBID=''"), 0);
}

TEST_F(GeneratedPracticeTest, NumberPoolHoldsTheHighestKeys)
{
    EXPECT_EQ(practice.Query("SELECT * FROM NUMBERPOOL"),
              (Rows{{"1", practice.Scalar("SELECT MAX(MDID) FROM MANDANT"), practice.Scalar("SELECT MAX(LEBID) FROM LEB"),
                     "000200"}}));
}

TEST_F(GeneratedPracticeTest, PatientsCoverAddressesMainTreatersAndPatientsWithoutServices)
{
    EXPECT_GT(Count("PAT", "ADRID=''"), 0);
    EXPECT_EQ(Count("PAT", "ADRID<>'' AND ADRID NOT IN (SELECT ADRID FROM ADR)"), 0);
    EXPECT_GT(Count("PAT", "STAMMLEBID=''"), 0);
    EXPECT_EQ(Count("PAT", "STAMMLEBID<>'' AND STAMMLEBID NOT IN (SELECT LEBID FROM LEB)"), 0);
    EXPECT_GT(Count("PAT", "IPLEBID<>''"), 0);
    EXPECT_GT(Count("PAT", "PATNR NOT IN (SELECT PATNR FROM BEH)"), 0);
    EXPECT_GT(Count("ADR", "ORT='München' OR ORT='Köln' OR ORT='Düsseldorf' OR STRASSE LIKE '%straße%'"), 0);
}

TEST_F(GeneratedPracticeTest, ServicesCoverBillingKindsFindingsAndArchive)
{
    EXPECT_EQ(Column("SELECT DISTINCT KZPRIVAT FROM BEH ORDER BY 1"), (std::vector<std::string>{"", "0", "1", "2", "9"}));
    for (const char* type : {"b", "s", "i", "p", "k", "r", "x", "B", "bb"}) {
        EXPECT_GT(Count("BEH", std::string("BEFUNDART='") + type + "' AND LFDBEFUND<>''"), 0) << type;
        EXPECT_GT(Count("BEH", std::string("BEFUNDART='") + type + "' AND LFDBEFUND=''"), 0) << type;
    }
    // A findings or archive number names an existing row of its table.
    EXPECT_EQ(Count("BEH", "BEFUNDART IN ('b','s','i','p') AND LFDBEFUND<>'' AND NOT EXISTS (SELECT 1 FROM ABEFUND F "
                           "WHERE F.PATNR=BEH.PATNR AND F.LFDABEFUND=BEH.LFDBEFUND)"), 0);
    EXPECT_EQ(Count("BEH", "BEFUNDART='k' AND LFDBEFUND<>'' AND NOT EXISTS (SELECT 1 FROM KFOBEFUND F "
                           "WHERE F.PATNR=BEH.PATNR AND F.LFDKFOBEFUND=BEH.LFDBEFUND)"), 0);
    EXPECT_EQ(Count("BEH", "BEFUNDART='r' AND LFDBEFUND<>'' AND NOT EXISTS (SELECT 1 FROM ROEBEFUND F "
                           "WHERE F.PATNR=BEH.PATNR AND F.LFDROEBEFUND=BEH.LFDBEFUND)"), 0);
    EXPECT_GT(Count("BEH", "LFDARCHIV<>''"), 0);
    EXPECT_EQ(Count("BEH", "LFDARCHIV<>'' AND NOT EXISTS (SELECT 1 FROM ARCHIV A "
                           "WHERE A.PATNR=BEH.PATNR AND A.LFDARCHIV=BEH.LFDARCHIV)"), 0);
    EXPECT_GT(Count("BEH", "LFDPATBILL=''"), 0);
    // Some services name a billing case that has to be regenerated.
    EXPECT_GT(Count("BEH", "LFDPATBILL<>'' AND NOT EXISTS (SELECT 1 FROM BILL B "
                           "WHERE B.PATNR=BEH.PATNR AND B.LFDPATBILL=BEH.LFDPATBILL)"), 0);
    EXPECT_GT(Count("BEH", "LEBID NOT IN (SELECT STAMMLEBID FROM PAT WHERE PAT.PATNR=BEH.PATNR)"), 0);
}

TEST_F(GeneratedPracticeTest, BillingCasesLinkInvoicesWhosePaymentsAndJournalRowsExist)
{
    EXPECT_GT(Count("BILL", "ABRTYP GLOB '[a-z]'"), 0);
    EXPECT_GT(Count("BILL", "ABRTYP GLOB '[A-Z]'"), 0);
    EXPECT_GT(Count("BILL", "ABRTYP=''"), 0);
    EXPECT_EQ(Count("BILL", "NOT EXISTS (SELECT 1 FROM BEH WHERE BEH.PATNR=BILL.PATNR AND BEH.LFDPATBILL=BILL.LFDPATBILL)"), 0);
    for (const std::string part : {"G", "S", "P"}) {
        EXPECT_GT(Count("BILL", part + "LFDFAKT<>'' AND " + part + "ABRWUNSCHDATUM<>''"), 0) << part;
        EXPECT_EQ(Count("BILL", part + "LFDFAKT<>'' AND NOT EXISTS (SELECT 1 FROM FAKT F WHERE F.MDID=BILL.MDID "
                                "AND F.PATNR=BILL.PATNR AND F.LFDFAKT=BILL." + part + "LFDFAKT)"), 0) << part;
    }
    EXPECT_EQ(Count("CASH", "NOT EXISTS (SELECT 1 FROM FAKT F WHERE F.MDID=CASH.MDID AND F.PATNR=CASH.PATNR "
                            "AND F.LFDFAKT=CASH.LFDFAKT)"), 0);
    EXPECT_EQ(Count("FAKT", "NOT EXISTS (SELECT 1 FROM FBUCHUNG J WHERE J.MDID=FAKT.MDID AND J.PATNR=FAKT.PATNR "
                            "AND J.LFDFAKT=FAKT.LFDFAKT AND J.LFDCASH='')"), 0);
    EXPECT_EQ(Count("CASH", "NOT EXISTS (SELECT 1 FROM FBUCHUNG J WHERE J.MDID=CASH.MDID AND J.PATNR=CASH.PATNR "
                            "AND J.LFDCASH=CASH.LFDCASH)"), 0);
    EXPECT_GT(Count("FBUCHUNG", "PATNR='' AND MDID<>''"), 0);
}

TEST_F(GeneratedPracticeTest, LaboratoryVouchersWithAndWithoutInvoices)
{
    EXPECT_GT(Count("LBLOCK", "RECHNR<>''"), 0);
    EXPECT_GT(Count("LBLOCK", "RECHNR=''"), 0);
    EXPECT_EQ(Count("LBLOCKENTRY", "NOT EXISTS (SELECT 1 FROM LBLOCK L WHERE L.PATNR=LBLOCKENTRY.PATNR "
                                   "AND L.LFDPLAN=LBLOCKENTRY.LFDPLAN AND L.LFDLBLOCK=LBLOCKENTRY.LFDLBLOCK)"), 0);
    EXPECT_GT(Count("GLKUFAKT", "NOT EXISTS (SELECT 1 FROM GLBLOC B WHERE B.LFDGLKU=GLKUFAKT.LFDGLKU "
                                "AND B.LFDGLKUFAKT=GLKUFAKT.LFDGLKUFAKT)"), 0);
    EXPECT_GT(Count("GLKUFAKT", "EXISTS (SELECT 1 FROM GLBLOC B WHERE B.LFDGLKU=GLKUFAKT.LFDGLKU "
                                "AND B.LFDGLKUFAKT=GLKUFAKT.LFDGLKUFAKT)"), 0);
    EXPECT_GT(Count("GLBLOC", "LFDGLKUFAKT=''"), 0);
    EXPECT_EQ(Count("GLBLOCENTRY", "NOT EXISTS (SELECT 1 FROM GLBLOC B WHERE B.LFDGLKU=GLBLOCENTRY.LFDGLKU "
                                   "AND B.LFDGLBLOC=GLBLOCENTRY.LFDGLBLOC)"), 0);
}

TEST_F(GeneratedPracticeTest, DocumentsOfEveryKindBeginWithAnOwnerKey)
{
    for (const std::string kind : {"DOKUMENTART='m'", "DOKUMENTART='p'", "DOKUMENTART NOT IN ('m','p')"})
        EXPECT_GT(Count("DOKUMENT", kind + " AND substr(DOKUMENTKEY,1,2) IN (SELECT MDID FROM MANDANT)"), 0) << kind;
    EXPECT_EQ(Count("DOKUMENT", "substr(DOKUMENTKEY,1,2) NOT IN (SELECT MDID FROM MANDANT)"), 0);
}

TEST_F(GeneratedPracticeTest, FileStoreHoldsEachOwnersFilesBesideDecoys)
{
    const auto owners = Column("SELECT MDID FROM MANDANT ORDER BY MDID");
    for (const std::string& owner : owners) {
        const std::string number = owner.substr(1);
        for (const std::string& file : {"daten/apps/Logo" + number + "_Praxis.bmp", "daten/bank/konto." + number,
                                       "daten/rz/" + number + "/Abrechnung.dat", "qa/QS" + owner + ".xml",
                                       "qa/Bericht" + owner + ".pdf", "qa/QS" + owner + ".dta", "qa/QS" + owner + ".idx",
                                       "qa/" + number + "/QS" + owner + ".xml"})
            EXPECT_TRUE(practice.Exists(file)) << file;
        EXPECT_EQ(practice.Exists("daten/fotos/mandant" + owner + ".jpg"), owner != owners.back()) << owner;
    }
    for (const char* decoy : {"daten/apps/Logo13_x.bmp", "daten/apps/Logo_3.bmp", "daten/bank/bank.13", "daten/rz/30/",
                              "qa/QS13.xml", "qa/13/QS13.xml"})
        EXPECT_TRUE(practice.Exists(decoy)) << decoy;
    long folders = 0;
    for (const auto& entry : fs::directory_iterator(practice.DataPath() + "pat")) {
        EXPECT_EQ(Count("PAT", "PATNR='" + entry.path().filename().string() + "'"), 1);
        EXPECT_TRUE(fs::is_regular_file(entry.path() / "Befund.pdf"));
        ++folders;
    }
    EXPECT_GT(folders, 0);
}
