#include "SampleDatabase.h"
#include "Schema.h"
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <vector>

namespace {

// Rows per transaction: large enough that commits cost nothing, small enough
// that SQLite's page cache stays bounded.
constexpr long kRowsPerTransaction = 100000;

// Empty, never null: a null QString binds as NULL, which the practice system never stores.
QString ToQString(std::string_view text)
{
    if (text.empty())
        return QStringLiteral("");
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

[[noreturn]] void Fail(const std::string& what, const QSqlError& error)
{
    throw std::runtime_error(what + ": " + error.text().toStdString());
}

QString UniqueConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("kelvor-praxis-%1").arg(++counter);
}

bool IsCreateTable(const std::string& statement)
{
    return statement.rfind("CREATE TABLE", 0) == 0;
}

} // namespace

struct SampleDatabase::Impl {
    struct Writer {
        const TableDef* table;
        QSqlQuery query;
        std::vector<QString> values;
    };

    QString connectionName = UniqueConnectionName();
    QSqlDatabase db;
    std::map<std::string, Writer, std::less<>> writers;
    long pendingRows = 0;

    ~Impl()
    {
        writers.clear();
        if (db.isOpen())
            db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
    }

    void Exec(const std::string& statement)
    {
        QSqlQuery query(db);
        if (!query.exec(ToQString(statement)))
            Fail("Statement failed (" + statement + ")", query.lastError());
    }

    void Begin()
    {
        if (!db.transaction())
            Fail("Cannot begin a transaction", db.lastError());
    }

    void Commit()
    {
        if (!db.commit())
            Fail("Cannot commit", db.lastError());
    }

    Writer& WriterFor(std::string_view name)
    {
        if (const auto found = writers.find(name); found != writers.end())
            return found->second;
        const TableDef& table = SchemaTable(name);
        QString sql = QStringLiteral("INSERT INTO ") + ToQString(table.name) + QStringLiteral(" VALUES (");
        for (std::size_t i = 0; i < table.columns.size(); ++i)
            sql += i == 0 ? QStringLiteral("?") : QStringLiteral(",?");
        sql += QStringLiteral(")");
        Writer writer{&table, QSqlQuery(db), std::vector<QString>(table.columns.size())};
        if (!writer.query.prepare(sql))
            Fail("Cannot prepare the insert into " + table.name, writer.query.lastError());
        return writers.emplace(table.name, std::move(writer)).first->second;
    }
};

SampleDatabase::SampleDatabase(const std::string& file) : d(std::make_unique<Impl>())
{
    d->db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d->connectionName);
    d->db.setDatabaseName(ToQString(file));
    if (!d->db.open())
        Fail("Cannot create the database " + file, d->db.lastError());
    // Nothing here has to survive a crash: a failed run throws the folder away.
    d->Exec("PRAGMA synchronous=OFF");
    d->Exec("PRAGMA journal_mode=MEMORY");
    d->Exec("PRAGMA cache_size=-131072");
    for (const std::string& statement : SchemaStatements(SqlDialect::Sqlite))
        if (IsCreateTable(statement))
            d->Exec(statement);
    d->Begin();
}

SampleDatabase::~SampleDatabase() = default;

void SampleDatabase::Insert(std::string_view table, std::initializer_list<Field> fields)
{
    Impl::Writer& writer = d->WriterFor(table);
    static const QString empty = ToQString({});
    std::fill(writer.values.begin(), writer.values.end(), empty);
    for (const Field& field : fields) {
        const int index = writer.table->ColumnIndex(field.column);
        if (index < 0)
            throw std::runtime_error("No column " + std::string(field.column) + " in " + writer.table->name);
        writer.values[static_cast<std::size_t>(index)] = ToQString(field.value);
    }
    for (std::size_t i = 0; i < writer.values.size(); ++i)
        writer.query.bindValue(static_cast<int>(i), writer.values[i]);
    if (!writer.query.exec())
        Fail("Cannot insert into " + writer.table->name, writer.query.lastError());
    if (++d->pendingRows == kRowsPerTransaction) {
        d->Commit();
        d->Begin();
        d->pendingRows = 0;
    }
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
    d->writers.clear();
    d->Commit();
    for (const std::string& statement : SchemaStatements(SqlDialect::Sqlite))
        if (!IsCreateTable(statement))
            d->Exec(statement);
    d->Exec("PRAGMA journal_mode=WAL");
    d->db.close();
}
