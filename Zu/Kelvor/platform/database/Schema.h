#pragma once
#include "SqlDialect.h"
#include <string>
#include <string_view>
#include <vector>

// The practice database schema as data: both the SQLite and the server DDL are
// made from it. Every column is text, NOT NULL, default empty.
struct TableDef {
    std::string name;
    std::vector<std::string> columns;                  // record order
    std::vector<std::string> primaryKey;
    std::vector<std::vector<std::string>> indexes;     // each a column combination

    int ColumnIndex(std::string_view column) const;    // -1 when absent
};

const std::vector<TableDef>& PracticeSchema();
const TableDef& SchemaTable(std::string_view name);    // throws std::out_of_range

// CREATE TABLE and CREATE INDEX statements for the whole schema, in order.
std::vector<std::string> SchemaStatements(SqlDialect dialect);
