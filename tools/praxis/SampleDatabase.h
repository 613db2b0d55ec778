#pragma once
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <string_view>

// The generator's own connection to a new SQLite practice database. Rows go in
// through one prepared statement per table, in large transactions; the indexes
// are made after the data, which is much faster than keeping them up to date.
class SampleDatabase {
public:
    struct Field {
        std::string_view column;
        std::string_view value;
    };

    // Creates the file with every table of the schema. Throws std::runtime_error.
    explicit SampleDatabase(const std::string& file);
    ~SampleDatabase();
    SampleDatabase(const SampleDatabase&) = delete;
    SampleDatabase& operator=(const SampleDatabase&) = delete;

    // One row; columns left out hold the empty text.
    void Insert(std::string_view table, std::initializer_list<Field> fields);
    // The next running number of a table ("1", "2", ...), unique in that table.
    std::string NextNumber(std::string_view table);
    // Commits, creates the indexes, switches to WAL and closes the file.
    void Finish();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    std::map<std::string, long, std::less<>> m_numbers;
};
