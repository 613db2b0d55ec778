#pragma once
#include "Schema.h"
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <string_view>

// The generator's own connection to a new practice database: a SQLite file or an
// empty database on a server. Rows go in through one prepared statement per table,
// in large transactions; the indexes are made after the data, which is much faster
// than keeping them up to date.
class SampleDatabase {
public:
    struct Field {
        std::string_view column;
        std::string_view value;
    };

    enum class Kind { SqliteFile, Server };

    // Creates every table of the schema: in the SQLite file named by database, or on
    // the server an ODBC connection string names. On a server a failed run leaves the
    // database as it was: the whole practice is one transaction, and where the server
    // commits each CREATE on its own, the tables made are dropped again.
    // Throws std::runtime_error.
    SampleDatabase(Kind kind, const std::string& database);
    ~SampleDatabase();
    SampleDatabase(const SampleDatabase&) = delete;
    SampleDatabase& operator=(const SampleDatabase&) = delete;

    // One row; columns left out hold the empty text.
    void Insert(std::string_view table, std::initializer_list<Field> fields);
    // The next running number of a table ("1", "2", ...), unique in that table.
    std::string NextNumber(std::string_view table);
    // Creates the indexes, commits and closes the database (a SQLite file in WAL mode).
    void Finish();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    std::map<std::string, long, std::less<>> m_numbers;
};
