#include "Schema.h"
#include "SqlText.h"
#include <algorithm>
#include <stdexcept>

namespace {

using Columns = std::vector<std::string>;

TableDef Table(std::string name, Columns columns, Columns primaryKey, std::vector<Columns> indexes = {})
{
    return {std::move(name), std::move(columns), std::move(primaryKey), std::move(indexes)};
}

// A table of one owner's rows: LFDNR, MDID, INHALT and its own further columns.
TableDef OwnerTable(std::string name, Columns extra = {})
{
    Columns columns{"LFDNR", "MDID", "INHALT"};
    std::vector<Columns> indexes{{"MDID"}};
    for (const std::string& column : extra) {
        columns.push_back(column);
        if (column == "LEBID")
            indexes.push_back({column});
    }
    return Table(std::move(name), std::move(columns), {"LFDNR"}, std::move(indexes));
}

void AddOwnerTables(std::vector<TableDef>& tables, std::initializer_list<const char*> names, const Columns& extra = {})
{
    for (const char* name : names)
        tables.push_back(OwnerTable(name, extra));
}

// Every combination of columns that a statement or a record-set lookup selects on
// has its index, so each of them is a key lookup; a leading part of the primary
// key needs none, the key serves it.
std::vector<TableDef> MakeSchema()
{
    std::vector<TableDef> t;
    // Owners, treaters, staff, workstations, number pool.
    t.push_back(Table("MANDANT", {"MDID", "NAME", "ORT"}, {"MDID"}));
    t.push_back(Table("LEB", {"LEBID", "MDIDK", "MDIDP", "PERSONALID", "KUERZEL"}, {"LEBID"}, {{"MDIDK"}, {"MDIDP"}}));
    t.push_back(Table("PERSONALADR", {"PERSONALID", "ANREDE", "TITEL", "VORNAME", "NAME"}, {"PERSONALID"}));
    t.push_back(Table("WORKSTATION", {"WORKSTATIONID", "NAME", "QAMDID", "PHLEBID"}, {"WORKSTATIONID"},
                      {{"QAMDID"}, {"PHLEBID"}}));
    t.push_back(Table("NUMBERPOOL", {"ID", "MDID", "LEBID", "PATNR"}, {"ID"}));

    // Patients and their data.
    t.push_back(Table("PAT", {"PATNR", "ADRID", "STAMMLEBID", "IPLEBID", "GEBDATUM"}, {"PATNR"},
                      {{"STAMMLEBID"}, {"IPLEBID"}}));
    t.push_back(Table("ADR", {"ADRID", "ANREDE", "TITEL", "VORNAME", "NAME", "STRASSE", "PLZ", "ORT"}, {"ADRID"}));
    t.push_back(Table("PATINFO", {"PATNR", "LFDPATINFO", "MDID", "LEBID", "INHALT"}, {"PATNR", "LFDPATINFO"},
                      {{"MDID"}, {"LEBID"}}));
    t.push_back(Table("BEH",
                      {"PATNR", "LFDBEH", "LEBID", "LFDPATBILL", "KZPRIVAT", "BEFUNDART", "LFDBEFUND", "LFDARCHIV",
                       "DATUM", "LEISTUNG"},
                      // LFDBEH after the billing case finds a case's first service row by index.
                      {"PATNR", "LFDBEH"}, {{"PATNR", "LFDPATBILL", "LFDBEH"}, {"PATNR", "LEBID"}, {"LEBID"}}));
    t.push_back(Table("ABEFUND", {"PATNR", "LFDABEFUND", "INHALT"}, {"PATNR", "LFDABEFUND"}));
    t.push_back(Table("KFOBEFUND", {"PATNR", "LFDKFOBEFUND", "INHALT"}, {"PATNR", "LFDKFOBEFUND"}));
    t.push_back(Table("ROEBEFUND", {"PATNR", "LFDROEBEFUND", "PERFORMINGLEBID", "INHALT"}, {"PATNR", "LFDROEBEFUND"},
                      {{"PERFORMINGLEBID"}}));
    t.push_back(Table("ARCHIV", {"PATNR", "LFDARCHIV", "INHALT"}, {"PATNR", "LFDARCHIV"}));
    t.push_back(Table("REZEPT", {"PATNR", "LFDREZEPT", "MDID", "LEBID", "LEBID2", "INHALT"}, {"PATNR", "LFDREZEPT"},
                      {{"MDID"}, {"LEBID"}, {"LEBID2"}}));
    for (const char* name : {"GIPS", "ZPLAN"})
        t.push_back(Table(name, {"PATNR", "LFDNR", "LEBID", "INHALT"}, {"PATNR", "LFDNR"}, {{"LEBID"}}));
    for (const char* name : {"WARTELISTE", "WORKFLOW"})
        t.push_back(Table(name, {"LFDNR", "PATNR", "LEBID", "INHALT"}, {"LFDNR"}, {{"PATNR"}, {"LEBID"}}));
    t.push_back(Table("DOKUMENT", {"LFDDOKUMENT", "DOKUMENTART", "DOKUMENTKEY", "PATNR", "TITEL"}, {"LFDDOKUMENT"},
                      {{"PATNR"}, {"DOKUMENTART", "DOKUMENTKEY"}}));

    // Billing.
    t.push_back(Table("BILL",
                      {"MDID", "PATNR", "LFDPATBILL", "ABRTYP", "GLFDFAKT", "GABRWUNSCHDATUM", "SLFDFAKT",
                       "SABRWUNSCHDATUM", "PLFDFAKT", "PABRWUNSCHDATUM", "QUARTAL"},
                      {"PATNR", "LFDPATBILL"},
                      {{"PATNR", "GLFDFAKT"}, {"PATNR", "SLFDFAKT"}, {"PATNR", "PLFDFAKT"},
                       {"MDID", "PATNR", "LFDPATBILL"}}));
    t.push_back(Table("FAKT", {"MDID", "PATNR", "LFDFAKT", "LFDPATBILL", "DATUM", "BETRAG"}, {"MDID", "PATNR", "LFDFAKT"},
                      {{"MDID", "PATNR", "LFDPATBILL"}, {"PATNR"}}));
    t.push_back(Table("CASH", {"MDID", "PATNR", "LFDFAKT", "LFDCASH", "DATUM", "BETRAG"}, {"MDID", "PATNR", "LFDCASH"},
                      {{"PATNR"}}));
    t.push_back(Table("FBUCHUNG", {"LFDNR", "MDID", "PATNR", "LFDFAKT", "LFDCASH", "BETRAG", "INHALT"}, {"LFDNR"},
                      {{"PATNR", "MDID", "LFDFAKT"}, {"PATNR", "MDID", "LFDCASH"}, {"MDID"}}));
    t.push_back(Table("GLKUFAKT", {"MDID", "LFDGLKU", "LFDGLKUFAKT", "BETRAG"}, {"MDID", "LFDGLKU", "LFDGLKUFAKT"}));
    t.push_back(Table("GLBLOC", {"LFDGLKU", "LFDGLBLOC", "LFDGLKUFAKT", "LEBID"}, {"LFDGLKU", "LFDGLBLOC"},
                      {{"LFDGLKU", "LFDGLKUFAKT"}, {"LEBID"}}));
    t.push_back(Table("GLBLOCENTRY", {"LFDGLKU", "LFDGLBLOC", "LFDENTRY", "LEBID", "INHALT"},
                      {"LFDGLKU", "LFDGLBLOC", "LFDENTRY"}, {{"LEBID"}}));
    t.push_back(Table("LBLOCK", {"PATNR", "LFDPLAN", "LFDLBLOCK", "LEBID", "RECHNR", "MDID", "BETRAG"},
                      {"PATNR", "LFDPLAN", "LFDLBLOCK"}, {{"RECHNR"}, {"MDID"}, {"LEBID"}}));
    t.push_back(Table("LBLOCKENTRY", {"PATNR", "LFDPLAN", "LFDLBLOCK", "LFDENTRY", "LEBID", "INHALT"},
                      {"PATNR", "LFDPLAN", "LFDLBLOCK", "LFDENTRY"}, {{"LEBID"}}));

    // Owner-keyed tables.
    AddOwnerTables(t, {"FDIENST", "ZBON", "TSEBON", "BANKOUT", "DATEVPAKET", "DATEVPAKETENTRY", "DATEVONLINELOG"});
    AddOwnerTables(t, {"ZEHIT", "ZEHITLST", "PARHIT", "PARHITLST", "KBRHIT", "KBRHITLST"}, {"PATNR"});
    AddOwnerTables(t, {"SBBESTELLUNG"}, {"LEBID"});
    AddOwnerTables(t, {"SBBESTELLENTRY", "MDPRAXISPROFIL", "KTRAEGER", "BANKEN", "FLABS", "MDFIBUPROFIL", "FORMULAR",
                       "FORMABLAGE", "FORMULARLUPB", "FRAGEBOGEN", "FRAGEBOGENENTRY", "EINWILLIGUNG", "BILLRULE",
                       "KONTO", "QAHIT", "KFOHIT", "SCHNITTSTELLEN", "MATERIALBUCH"});
    AddOwnerTables(t, {"CASHPAY", "EBZ", "ETSSTERMIN"}, {"PATNR"});

    // Treater-keyed tables.
    t.push_back(Table("MACENTRY", {"LFDNR", "INHALT", "STDLEBID"}, {"LFDNR"}, {{"STDLEBID"}}));
    t.push_back(Table("CMD", {"LFDNR", "INHALT", "LEBID"}, {"LFDNR"}, {{"LEBID"}}));
    return t;
}

bool IsKeyColumn(const TableDef& table, const std::string& column)
{
    const auto covers = [&column](const Columns& key) { return std::ranges::find(key, column) != key.end(); };
    return covers(table.primaryKey) || std::ranges::any_of(table.indexes, covers);
}

// InnoDB keys hold at most 3072 bytes: four key columns of 254 four-byte characters do
// not fit, of 191 they do. Keys are short digit texts, so only MariaDB's are shortened.
std::string ColumnType(const TableDef& table, const std::string& column, SqlDialect dialect)
{
    if (dialect == SqlDialect::Sqlite)
        return " TEXT NOT NULL DEFAULT ''";
    const bool shortKey = dialect == SqlDialect::MariaDb && IsKeyColumn(table, column);
    return shortKey ? " VARCHAR(191) NOT NULL DEFAULT ''" : " VARCHAR(254) NOT NULL DEFAULT ''";
}

// MariaDB's default collations ignore case and trailing blanks ('0a' = '0A', '04' = '04 '):
// its tables compare and LIKE byte for byte, as the other engines do, and are transactional
// whatever the server's default engine.
std::string TableOptions(SqlDialect dialect)
{
    return dialect == SqlDialect::MariaDb ? " ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_nopad_bin" : "";
}

std::string CreateTable(const TableDef& table, SqlDialect dialect)
{
    std::string sql = "CREATE TABLE " + table.name + " (";
    for (const std::string& column : table.columns)
        sql += column + ColumnType(table, column, dialect) + ", ";
    return sql + "PRIMARY KEY (" + JoinColumns(table.primaryKey, ", ") + "))" + TableOptions(dialect);
}

std::string CreateIndex(const TableDef& table, const Columns& index)
{
    return "CREATE INDEX IX_" + table.name + "_" + JoinColumns(index, "_") + " ON " + table.name + " ("
        + JoinColumns(index, ", ") + ")";
}

} // namespace

int TableDef::ColumnIndex(std::string_view column) const
{
    const auto found = std::find(columns.begin(), columns.end(), column);
    return found == columns.end() ? -1 : static_cast<int>(found - columns.begin());
}

const std::vector<TableDef>& PracticeSchema()
{
    static const std::vector<TableDef> schema = MakeSchema();
    return schema;
}

const TableDef& SchemaTable(std::string_view name)
{
    for (const TableDef& table : PracticeSchema())
        if (table.name == name)
            return table;
    throw std::out_of_range("no table " + std::string(name) + " in the practice schema");
}

// Tables first, indexes last, so that a generator can load its rows before indexing.
std::vector<std::string> SchemaStatements(SqlDialect dialect)
{
    std::vector<std::string> statements;
    for (const TableDef& table : PracticeSchema())
        statements.push_back(CreateTable(table, dialect));
    for (const TableDef& table : PracticeSchema())
        for (const Columns& index : table.indexes)
            statements.push_back(CreateIndex(table, index));
    return statements;
}
