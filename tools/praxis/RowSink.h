#pragma once
#include "Schema.h"
#include <span>
#include <string>

// Where the generator's rows go: a new SQLite file or an empty server database.
// A sink begins with the schema's tables made and everything in one unit of
// work; a sink dropped before Finish() leaves nothing usable behind.
class RowSink {
public:
    virtual ~RowSink() = default;

    virtual SqlDialect Dialect() const = 0;
    // Rows are handed over this many at a time (fewer only for a table's last rows).
    virtual std::size_t RowsPerInsert() const = 0;
    virtual void CreateTable(const TableDef& table, const std::string& statement) = 0;
    // values: one after the other, a value for every column of each row in record order.
    virtual void Insert(const TableDef& table, std::span<const std::string> values) = 0;
    // Runs statements (the indexes, made after the rows) and commits: the database
    // is then as the practice uses it.
    virtual void Finish(std::span<const std::string> statements) = 0;

protected:
    // "INSERT INTO table VALUES (?,...),(?,...)" for rows rows.
    static std::string InsertText(const TableDef& table, std::size_t rows);
};
