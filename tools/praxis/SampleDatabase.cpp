#include "SampleDatabase.h"
#include "DBException.h"
#include "HbRSetDatabase.h"
#include "SqlText.h"
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

// Rows per SQLite transaction: large enough that commits cost nothing, small
// enough that SQLite's page cache stays bounded. A server takes the whole practice
// in one transaction, its DDL included.
constexpr long kRowsPerTransaction = 100000;
// Rows per insert statement on a server: each statement is a round trip, so many
// rows go in one; SQLite, in the process, takes them one by one.
constexpr std::size_t kServerRowsPerInsert = 100;
const std::string kOdbcPrefix = "odbc:";

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
    // The rows of one table waiting for their insert statement, field after field.
    struct Writer {
        const TableDef* table;
        QSqlQuery query;   // inserts rowsPerInsert rows
        std::vector<QString> values;
    };

    // A server is reached the way the program reaches it: login time-out, no password in errors.
    CHbRSetDatabase server;
    SqlDialect dialect = SqlDialect::Sqlite;
    std::vector<std::string> createdTables;   // on a server whose CREATE commits
    QString connectionName = UniqueConnectionName();
    QSqlDatabase db;
    std::map<std::string, Writer, std::less<>> writers;
    long pendingRows = 0;
    bool finished = false;

    ~Impl()
    {
        writers.clear();
        // An unfinished practice is rolled back: on a server nothing of it stays.
        if (!finished && db.isOpen()) {
            db.rollback();
            DropCreatedTables();
        }
        db = QSqlDatabase();
        // The server connection is the CHbRSetDatabase's to close.
        if (!IsServer())
            QSqlDatabase::removeDatabase(connectionName);
    }

    bool IsServer() const { return dialect != SqlDialect::Sqlite; }
    std::size_t RowsPerInsert() const { return IsServer() ? kServerRowsPerInsert : 1; }

    void OpenSqlite(const std::string& file)
    {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db.setDatabaseName(ToQString(file));
        if (!db.open())
            Fail("Cannot create the database " + file, db.lastError());
        // Nothing here has to survive a crash: a failed run throws the folder away.
        Exec("PRAGMA synchronous=OFF");
        Exec("PRAGMA journal_mode=MEMORY");
        // 32 MiB of page cache: the inserts come in key order, and the indexes are made at
        // the end; more only adds to the generator's memory.
        Exec("PRAGMA cache_size=-32768");
    }

    void OpenServer(const std::string& odbc)
    {
        try {
            server.Open(nullptr, false, false, kOdbcPrefix + odbc, false);
        } catch (const CDBException& error) {
            throw std::runtime_error(error.ErrorText());
        }
        db = QSqlDatabase::database(QString::fromStdString(server.ConnectionName()), false);
        dialect = server.Dialect();
    }

    // The schema's statements begin with its tables, in schema order.
    void CreateTables()
    {
        const std::vector<std::string> statements = SchemaStatements(dialect);
        for (std::size_t i = 0; i < PracticeSchema().size(); ++i) {
            Exec(statements[i]);
            if (dialect == SqlDialect::MariaDb)
                createdTables.push_back(PracticeSchema()[i].name);
        }
    }

    // On the way out nothing may throw: a table that cannot be dropped stays.
    void DropCreatedTables()
    {
        for (const std::string& table : createdTables)
            QSqlQuery(db).exec(ToQString("DROP TABLE " + table));
    }

    // The planner needs the new rows' statistics before the first run.
    std::string AnalyzeStatement() const
    {
        if (dialect != SqlDialect::MariaDb)
            return "ANALYZE";
        std::string tables;
        for (const TableDef& table : PracticeSchema())
            tables += (tables.empty() ? "" : ", ") + table.name;
        return "ANALYZE TABLE " + tables;
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

    QSqlQuery Prepare(const TableDef& table, std::size_t rows)
    {
        std::string row = "(?";
        for (std::size_t i = 1; i < table.columns.size(); ++i)
            row += ",?";
        row += ")";
        std::string sql = "INSERT INTO " + table.name + " VALUES " + row;
        for (std::size_t i = 1; i < rows; ++i)
            sql += "," + row;
        QSqlQuery query(db);
        if (!query.prepare(ToQString(ExactPlaceholders(sql, dialect))))
            Fail("Cannot prepare the insert into " + table.name, query.lastError());
        return query;
    }

    Writer& WriterFor(std::string_view name)
    {
        if (const auto found = writers.find(name); found != writers.end())
            return found->second;
        const TableDef& table = SchemaTable(name);
        Writer writer{&table, Prepare(table, RowsPerInsert()), {}};
        writer.values.reserve(table.columns.size() * RowsPerInsert());
        return writers.emplace(table.name, std::move(writer)).first->second;
    }

    static void Run(QSqlQuery& query, Writer& writer)
    {
        for (std::size_t i = 0; i < writer.values.size(); ++i)
            query.bindValue(static_cast<int>(i), writer.values[i]);
        if (!query.exec())
            Fail("Cannot insert into " + writer.table->name, query.lastError());
        writer.values.clear();
    }

    // The rows still waiting, in one statement of their own size.
    void Flush()
    {
        for (auto& [name, writer] : writers) {
            if (writer.values.empty())
                continue;
            QSqlQuery rest = Prepare(*writer.table, writer.values.size() / writer.table->columns.size());
            Run(rest, writer);
        }
        writers.clear();
    }
};

SampleDatabase::SampleDatabase(Kind kind, const std::string& database) : d(std::make_unique<Impl>())
{
    if (kind == Kind::Server)
        d->OpenServer(database);
    else
        d->OpenSqlite(database);
    d->Begin();
    d->CreateTables();
}

SampleDatabase::~SampleDatabase() = default;

void SampleDatabase::Insert(std::string_view table, std::initializer_list<Field> fields)
{
    Impl::Writer& writer = d->WriterFor(table);
    static const QString empty = ToQString({});
    const std::size_t row = writer.values.size();
    writer.values.resize(row + writer.table->columns.size(), empty);
    for (const Field& field : fields) {
        const int index = writer.table->ColumnIndex(field.column);
        if (index < 0) {
            writer.values.resize(row);
            throw std::runtime_error("No column " + std::string(field.column) + " in " + writer.table->name);
        }
        writer.values[row + static_cast<std::size_t>(index)] = ToQString(field.value);
    }
    if (writer.values.size() == writer.table->columns.size() * d->RowsPerInsert())
        Impl::Run(writer.query, writer);
    if (!d->IsServer() && ++d->pendingRows == kRowsPerTransaction) {
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
    d->Flush();
    for (const std::string& statement : SchemaStatements(d->dialect))
        if (!IsCreateTable(statement))
            d->Exec(statement);
    d->Commit();
    d->finished = true;
    if (d->IsServer()) {
        d->Exec(d->AnalyzeStatement());
        d->db = QSqlDatabase();
        d->server.Close();
    } else {
        d->Exec("PRAGMA journal_mode=WAL");
        d->db.close();
    }
}
