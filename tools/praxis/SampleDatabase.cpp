#include "SampleDatabase.h"
#include "ServerRowSink.h"
#include "SqliteRowSink.h"
#include <algorithm>
#include <stdexcept>

namespace {

std::unique_ptr<RowSink> SinkFor(SampleDatabase::Kind kind, const std::string& database)
{
    if (kind == SampleDatabase::Kind::Server)
        return std::make_unique<ServerRowSink>(database);
    return std::make_unique<SqliteRowSink>(database);
}

} // namespace

// The schema's statements begin with its tables, in schema order.
SampleDatabase::SampleDatabase(Kind kind, const std::string& database)
    : m_sink(SinkFor(kind, database)), m_schema(SchemaStatements(m_sink->Dialect()))
{
    for (std::size_t i = 0; i < PracticeSchema().size(); ++i)
        m_sink->CreateTable(PracticeSchema()[i], m_schema[i]);
}

SampleDatabase::Row& SampleDatabase::RowOf(std::string_view table)
{
    if (const auto found = m_rows.find(table); found != m_rows.end())
        return found->second;
    const TableDef& def = SchemaTable(table);
    return m_rows.emplace(def.name, Row{&def, std::vector<std::string_view>(def.columns.size())}).first->second;
}

void SampleDatabase::Insert(std::string_view table, std::initializer_list<Field> fields)
{
    Row& row = RowOf(table);
    std::fill(row.values.begin(), row.values.end(), std::string_view());
    for (const Field& field : fields) {
        const int index = row.table->ColumnIndex(field.column);
        if (index < 0)
            throw std::runtime_error("No column " + std::string(field.column) + " in " + row.table->name);
        row.values[static_cast<std::size_t>(index)] = field.value;
    }
    m_sink->Insert(*row.table, row.values);
}

std::string SampleDatabase::NextNumber(std::string_view table)
{
    auto found = m_numbers.find(table);
    if (found == m_numbers.end())
        found = m_numbers.emplace(std::string(table), 0).first;
    return std::to_string(++found->second);
}

void SampleDatabase::Finish()
{
    m_sink->Finish(std::span<const std::string>(m_schema).subspan(PracticeSchema().size()));
}
