#pragma once
#include "RowSink.h"
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The generator's own connection to a new practice database: a SQLite file or an
// empty database on a server. A table's rows are handed on a batch at a time; the
// indexes are made after the data, which is much faster than keeping them up to
// date.
class SampleDatabase {
public:
    struct Field {
        std::string_view column;
        std::string_view value;
    };

    enum class Kind { SqliteFile, Server };

    // Creates every table of the schema: in the SQLite file named by database, or on
    // the server an ODBC connection string names. On a server a failed run leaves the
    // database as it was. Throws std::runtime_error.
    SampleDatabase(Kind kind, const std::string& database);

    // One row; columns left out hold the empty text.
    void Insert(std::string_view table, std::initializer_list<Field> fields);
    // The next running number of a table ("1", "2", ...), unique in that table.
    std::string NextNumber(std::string_view table);
    // Creates the indexes and commits (a SQLite file is left in WAL mode).
    void Finish();

private:
    // A table's rows waiting to be handed on, one value per column; the texts are
    // kept from batch to batch, so that filling them seldom allocates.
    struct Batch {
        const TableDef* table;
        std::vector<std::string> values;
        std::size_t used = 0;
    };

    Batch& BatchOf(std::string_view table);
    void Hand(Batch& batch);

    std::unique_ptr<RowSink> m_sink;
    std::vector<std::string> m_schema;   // the tables' statements, then the indexes'
    std::map<std::string, Batch, std::less<>> m_batches;
    std::map<std::string, long, std::less<>> m_numbers;
};
