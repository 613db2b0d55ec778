#include "DatabaseTest.h"
#include "Schema.h"
#include <algorithm>
#include <map>
#include <iterator>
#include <set>
#include <sstream>

namespace {

using Columns = std::vector<std::string>;

Columns Words(const std::string& text)
{
    std::istringstream stream(text);
    return {std::istream_iterator<std::string>(stream), std::istream_iterator<std::string>()};
}

// The documented tables, one group a line: "tables : columns in record order".
constexpr const char* kDocumentedTables = R"(
MANDANT : MDID NAME ORT
LEB : LEBID MDIDK MDIDP PERSONALID KUERZEL
PERSONALADR : PERSONALID ANREDE TITEL VORNAME NAME
WORKSTATION : WORKSTATIONID NAME QAMDID PHLEBID
NUMBERPOOL : ID MDID LEBID PATNR
PAT : PATNR ADRID STAMMLEBID IPLEBID GEBDATUM
ADR : ADRID ANREDE TITEL VORNAME NAME STRASSE PLZ ORT
PATINFO : PATNR LFDPATINFO MDID LEBID INHALT
BEH : PATNR LFDBEH LEBID LFDPATBILL KZPRIVAT BEFUNDART LFDBEFUND LFDARCHIV DATUM LEISTUNG
ABEFUND : PATNR LFDABEFUND INHALT
KFOBEFUND : PATNR LFDKFOBEFUND INHALT
ROEBEFUND : PATNR LFDROEBEFUND PERFORMINGLEBID INHALT
ARCHIV : PATNR LFDARCHIV INHALT
REZEPT : PATNR LFDREZEPT MDID LEBID LEBID2 INHALT
GIPS ZPLAN : PATNR LFDNR LEBID INHALT
WARTELISTE WORKFLOW : LFDNR PATNR LEBID INHALT
DOKUMENT : LFDDOKUMENT DOKUMENTART DOKUMENTKEY PATNR TITEL
BILL : MDID PATNR LFDPATBILL ABRTYP GLFDFAKT GABRWUNSCHDATUM SLFDFAKT SABRWUNSCHDATUM PLFDFAKT PABRWUNSCHDATUM QUARTAL
FAKT : MDID PATNR LFDFAKT LFDPATBILL DATUM BETRAG
CASH : MDID PATNR LFDFAKT LFDCASH DATUM BETRAG
FBUCHUNG : LFDNR MDID PATNR LFDFAKT LFDCASH BETRAG INHALT
GLKUFAKT : MDID LFDGLKU LFDGLKUFAKT BETRAG
GLBLOC : LFDGLKU LFDGLBLOC LFDGLKUFAKT LEBID
GLBLOCENTRY : LFDGLKU LFDGLBLOC LFDENTRY LEBID INHALT
LBLOCK : PATNR LFDPLAN LFDLBLOCK LEBID RECHNR MDID BETRAG
LBLOCKENTRY : PATNR LFDPLAN LFDLBLOCK LFDENTRY LEBID INHALT
FDIENST ZBON TSEBON BANKOUT DATEVPAKET DATEVPAKETENTRY DATEVONLINELOG SBBESTELLENTRY MDPRAXISPROFIL KTRAEGER BANKEN FLABS MDFIBUPROFIL FORMULAR FORMABLAGE FORMULARLUPB FRAGEBOGEN FRAGEBOGENENTRY EINWILLIGUNG BILLRULE KONTO QAHIT KFOHIT SCHNITTSTELLEN MATERIALBUCH : LFDNR MDID INHALT
ZEHIT ZEHITLST PARHIT PARHITLST KBRHIT KBRHITLST CASHPAY EBZ ETSSTERMIN : LFDNR MDID INHALT PATNR
SBBESTELLUNG : LFDNR MDID INHALT LEBID
MACENTRY : LFDNR INHALT STDLEBID
CMD : LFDNR INHALT LEBID
)";

// Every column combination a statement or a record-set lookup selects on, beyond
// what the primary key serves; owner-keyed tables add their MDID.
constexpr const char* kRequiredIndexes = R"(
BEH(PATNR,LFDPATBILL,LFDBEH) BEH(PATNR,LEBID) BEH(LEBID) BILL(PATNR,GLFDFAKT) BILL(PATNR,SLFDFAKT)
BILL(PATNR,PLFDFAKT) BILL(MDID,PATNR,LFDPATBILL) FAKT(MDID,PATNR,LFDPATBILL) FAKT(PATNR) CASH(PATNR)
FBUCHUNG(PATNR,MDID,LFDFAKT) FBUCHUNG(PATNR,MDID,LFDCASH) FBUCHUNG(MDID) GLBLOC(LFDGLKU,LFDGLKUFAKT) GLBLOC(LEBID)
GLBLOCENTRY(LEBID) LBLOCK(RECHNR) LBLOCK(MDID) LBLOCK(LEBID) LBLOCKENTRY(LEBID) LEB(MDIDK) LEB(MDIDP)
WORKSTATION(QAMDID) WORKSTATION(PHLEBID) REZEPT(MDID) REZEPT(LEBID) REZEPT(LEBID2) PATINFO(MDID) PATINFO(LEBID)
PAT(STAMMLEBID) PAT(IPLEBID) ROEBEFUND(PERFORMINGLEBID) MACENTRY(STDLEBID) CMD(LEBID) GIPS(LEBID) ZPLAN(LEBID)
WARTELISTE(LEBID) WORKFLOW(LEBID) SBBESTELLUNG(LEBID) WARTELISTE(PATNR) WORKFLOW(PATNR) DOKUMENT(PATNR)
DOKUMENT(DOKUMENTART,DOKUMENTKEY)
)";

std::map<std::string, Columns> DocumentedTables()
{
    std::map<std::string, Columns> tables;
    std::istringstream lines(kDocumentedTables);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos)
            for (const std::string& table : Words(line.substr(0, colon)))
                tables[table] = Words(line.substr(colon + 1));
    }
    return tables;
}

std::set<std::string> RequiredIndexes()
{
    const Columns words = Words(kRequiredIndexes);
    std::set<std::string> indexes(words.begin(), words.end());
    for (const auto& [table, columns] : DocumentedTables())
        if (columns[0] == "LFDNR" && columns[1] == "MDID")
            indexes.insert(table + "(MDID)");
    return indexes;
}

} // namespace

TEST(Schema, HoldsEveryDocumentedTableAndColumnInRecordOrder)
{
    std::map<std::string, Columns> actual;
    for (const TableDef& table : PracticeSchema())
        actual[table.name] = table.columns;
    EXPECT_EQ(DocumentedTables(), actual);
    EXPECT_EQ((Columns{"MDID", "PATNR", "LFDCASH"}), SchemaTable("CASH").primaryKey);
    EXPECT_EQ((Columns{"PATNR", "LFDPATBILL"}), SchemaTable("BILL").primaryKey);
}

TEST(Schema, StatementsCreateTablesFirstThenIndexes)
{
    const std::vector<std::string> statements = SchemaStatements(SqlDialect::Sqlite);
    const auto firstIndex = std::find_if(statements.begin(), statements.end(),
                                         [](const std::string& s) { return s.starts_with("CREATE INDEX IX_"); });
    EXPECT_EQ(PracticeSchema().size(), static_cast<std::size_t>(firstIndex - statements.begin()));
    EXPECT_EQ("CREATE INDEX IX_LEB_MDIDK ON LEB (MDIDK)", *firstIndex);
    EXPECT_EQ("CREATE TABLE MANDANT (MDID TEXT NOT NULL DEFAULT '', NAME TEXT NOT NULL DEFAULT '', ORT TEXT NOT NULL "
              "DEFAULT '', PRIMARY KEY (MDID))",
              statements.front());
    EXPECT_EQ("CREATE TABLE MANDANT (MDID VARCHAR(254) NOT NULL DEFAULT '', NAME VARCHAR(254) NOT NULL DEFAULT '', ORT "
              "VARCHAR(254) NOT NULL DEFAULT '', PRIMARY KEY (MDID))",
              SchemaStatements(SqlDialect::PostgreSql).front());
}

TEST_F(DatabaseTest, PracticeDatabaseHasEveryRequiredIndexAndNoneThePrimaryKeyServes)
{
    std::set<std::string> found;
    for (const auto& index : practice.Query("SELECT tbl_name, name FROM sqlite_master WHERE type='index' AND sql IS NOT NULL")) {
        std::string columns;
        for (const auto& column : practice.Query("PRAGMA index_info(" + index[1] + ")"))
            columns += (columns.empty() ? "" : ",") + column[2];
        found.insert(index[0] + "(" + columns + ")");
    }
    EXPECT_EQ(RequiredIndexes(), found);
}
