#include "SampleDatabase.h"
#include "ServerRowSink.h"
#include "SqliteRowSink.h"
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

SampleDatabase::Batch& SampleDatabase::BatchOf(std::string_view table)
{
    if (const auto found = m_batches.find(table); found != m_batches.end())
        return found->second;
    const TableDef& def = SchemaTable(table);
    Batch batch{&def, std::vector<std::string>(def.columns.size() * m_sink->RowsPerInsert())};
    return m_batches.emplace(def.name, std::move(batch)).first->second;
}

void SampleDatabase::Hand(Batch& batch)
{
    m_sink->Insert(*batch.table, std::span<const std::string>(batch.values).first(batch.used));
    batch.used = 0;
}

void SampleDatabase::Insert(std::string_view table, std::initializer_list<Field> fields)
{
    Batch& batch = BatchOf(table);
    const auto row = std::span(batch.values).subspan(batch.used, batch.table->columns.size());
    for (std::string& value : row)
        value.clear();
    for (const Field& field : fields) {
        const int index = batch.table->ColumnIndex(field.column);
        if (index < 0)
            throw std::runtime_error("No column " + std::string(field.column) + " in " + batch.table->name);
        row[static_cast<std::size_t>(index)] = field.value;
    }
    batch.used += row.size();
    if (batch.used == batch.values.size())
        Hand(batch);
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
    for (auto& [name, batch] : m_batches)
        if (batch.used > 0)
            Hand(batch);
    m_sink->Finish(std::span<const std::string>(m_schema).subspan(PracticeSchema().size()));
}
