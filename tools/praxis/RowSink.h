#pragma once
#include "Schema.h"
#include <span>
#include <string>
#include <string_view>

// Where the generator's rows go: a new SQLite file or an empty server database.
// A sink begins with the schema's tables made and everything in one unit of
// work; a sink dropped before Finish() leaves nothing usable behind.
class RowSink {
public:
    virtual ~RowSink() = default;

    virtual SqlDialect Dialect() const = 0;
    virtual void CreateTable(const TableDef& table, const std::string& statement) = 0;
    // One row, a value for every column in record order; the values need only
    // live until the call returns.
    virtual void Insert(const TableDef& table, std::span<const std::string_view> row) = 0;
    // Runs statements (the indexes, made after the rows) and commits: the database
    // is then as the practice uses it.
    virtual void Finish(std::span<const std::string> statements) = 0;
};
