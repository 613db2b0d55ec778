#include "TestPractice.h"
#include "DatabaseBackEnd.h"
#include "IniFile.h"
#include "PracticeGenerator.h"
#include "Schema.h"
#include "SqlText.h"
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

// Empty, never null: a null QString binds as NULL, which the practice system never stores.
QString Value(const std::string& text)
{
    return text.empty() ? QStringLiteral("") : Q(text);
}

std::string MakeTempFolder()
{
    std::string pattern = (fs::temp_directory_path() / "kelvor-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("no temporary folder");
    return pattern + "/praxis";
}

std::string GeneratedTemplate(unsigned seed, long patients)
{
    // Generating a practice takes a while: each size is made once per process and
    // every test gets its own copy. The originals go when the process ends.
    static struct Templates : std::map<std::pair<unsigned, long>, std::string> {
        ~Templates()
        {
            std::error_code ignored;
            for (const auto& entry : *this)
                fs::remove_all(fs::path(entry.second).parent_path(), ignored);
        }
    } templates;
    auto& folder = templates[{seed, patients}];
    if (folder.empty()) {
        folder = MakeTempFolder();
        CreatePractice(folder, PracticeOptions{.seed = seed, .patients = patients, .connect = {}});
    }
    return folder;
}
}  // namespace

TestPractice::TestPractice() : m_folder(MakeTempFolder())
{
    CreateEmptyPractice(m_folder, PracticeOptions{.connect = ServerConnect().empty() ? "" : CreateServerDatabase()});
    Open();
}

// On a server the generator writes each test's practice itself: the data is the
// same as in the SQLite copy of the same seed.
TestPractice::TestPractice(unsigned seed, long patients, Backend backend) : m_folder(MakeTempFolder())
{
    if (backend == Backend::Server || (backend == Backend::FromEnvironment && !ServerConnect().empty()))
        CreatePractice(m_folder, PracticeOptions{.seed = seed, .patients = patients, .connect = CreateServerDatabase()});
    else
        fs::copy(GeneratedTemplate(seed, patients), m_folder, fs::copy_options::recursive);
    Open();
}

std::string TestPractice::ServerConnect()
{
    const char* server = std::getenv("KELVOR_TEST_SERVER");
    return server == nullptr ? std::string() : server;
}

const CDatabaseBackEnd& TestPractice::ServerBackEnd()
{
    static const std::unique_ptr<CDatabaseBackEnd> backEnd = CDatabaseBackEnd::ForConnect("odbc:" + ServerConnect());
    return *backEnd;
}

SqlDialect TestPractice::ServerDialect()
{
    return ServerBackEnd().Dialect();
}

// Databases are made and dropped from the maintenance database (MariaDB needs none),
// on a connection of its own.
void TestPractice::ExecOnServer(const std::string& sql)
{
    const QString name = QStringLiteral("test-practice-server");
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
        db.setDatabaseName(Q(ServerConnect() + (ServerDialect() == SqlDialect::MariaDb ? "" : ";DATABASE=postgres")));
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery query(db);
            if (!query.exec(Q(sql)))
                error = query.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!error.isEmpty())
        throw std::runtime_error(sql + ": " + error.toStdString());
}

// The program's connections may still be open on it: PostgreSQL must be told.
void TestPractice::DropOnServer(const std::string& database)
{
    ExecOnServer("DROP DATABASE " + database + (ServerDialect() == SqlDialect::PostgreSql ? " WITH (FORCE)" : ""));
}

std::vector<std::string> TestPractice::WithoutVersions(std::vector<std::string> texts)
{
    static const std::regex versions(R"(\[ma-[^\]]*\](\[[^\]]*\])?)");
    for (std::string& text : texts)
        text = std::regex_replace(text, versions, "");
    return texts;
}

std::string TestPractice::CreateServerDatabase()
{
    if (ServerConnect().empty())
        throw std::runtime_error("no test server: KELVOR_TEST_SERVER is not set");
    static int counter = 0;
    m_serverDatabase = "kelvor_test_" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
    ExecOnServer("CREATE DATABASE " + m_serverDatabase);
    return "odbc:" + ServerConnect() + ";DATABASE=" + m_serverDatabase;
}

void TestPractice::Open()
{
    if (const char* previous = std::getenv("VQ_PRAXIS"))
        m_previousPraxis = previous;
    ::setenv("VQ_PRAXIS", m_folder.c_str(), 1);

    m_connection = "test-practice-" + std::to_string(reinterpret_cast<std::uintptr_t>(this));
    QSqlDatabase db =
        QSqlDatabase::addDatabase(OnServer() ? QStringLiteral("QODBC") : QStringLiteral("QSQLITE"), Q(m_connection));
    db.setDatabaseName(Q(OnServer() ? ServerConnect() + ";DATABASE=" + m_serverDatabase : m_folder + "/praxis.db"));
    if (!OnServer())
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    if (!db.open())
        throw std::runtime_error("cannot open the practice database of " + m_folder + ": "
                                 + db.lastError().text().toStdString());
    // The test's SQL means what it means to the program.
    if (OnServer())
        for (const std::string& statement : ServerBackEnd().SessionStatements())
            Exec(statement);
}

TestPractice::~TestPractice()
{
    QSqlDatabase::database(Q(m_connection), false).close();
    QSqlDatabase::removeDatabase(Q(m_connection));
    if (OnServer()) {
        try {
            DropOnServer(m_serverDatabase);
        } catch (const std::runtime_error&) {
            // A server that went away takes its databases with it.
        }
    }
    if (m_previousPraxis.empty())
        ::unsetenv("VQ_PRAXIS");
    else
        ::setenv("VQ_PRAXIS", m_previousPraxis.c_str(), 1);
    std::error_code ignored;
    fs::remove_all(fs::path(m_folder).parent_path(), ignored);
}

void TestPractice::Exec(const std::string& sql) const
{
    QSqlQuery query(QSqlDatabase::database(Q(m_connection)));
    if (!query.exec(Q(sql)))
        throw std::runtime_error(sql + ": " + query.lastError().text().toStdString());
}

void TestPractice::Insert(const std::string& table, const std::map<std::string, std::string>& values) const
{
    std::vector<std::string> columns;
    for (const auto& entry : values)
        columns.push_back(entry.first);
    const std::string insert = "INSERT INTO " + table + " (" + JoinColumns(columns, ",") + ") VALUES ("
                               + JoinColumns(std::vector<std::string>(values.size(), "?"), ",") + ")";
    QSqlQuery query(QSqlDatabase::database(Q(m_connection)));
    query.prepare(Q(OnServer() ? ServerBackEnd().ExactPlaceholders(insert) : insert));
    for (const auto& entry : values)
        query.addBindValue(Value(entry.second));
    if (!query.exec())
        throw std::runtime_error("insert into " + table + ": " + query.lastError().text().toStdString());
}

void TestPractice::InsertRows(const std::string& table, const std::string& columns,
                              const std::vector<std::string>& rows) const
{
    const QStringList names = Q(columns).split(u'|');
    for (const std::string& row : rows) {
        const QStringList fields = Q(row).split(u'|');
        std::map<std::string, std::string> values;
        for (qsizetype i = 0; i < names.size(); ++i)
            values[names[i].toStdString()] = fields.value(i).toStdString();
        Insert(table, values);
    }
}

std::vector<std::vector<std::string>> TestPractice::Query(const std::string& sql) const
{
    QSqlQuery query(QSqlDatabase::database(Q(m_connection)));
    query.setForwardOnly(true);
    if (!query.exec(Q(sql)))
        throw std::runtime_error(sql + ": " + query.lastError().text().toStdString());
    std::vector<std::vector<std::string>> rows;
    while (query.next()) {
        std::vector<std::string> row;
        for (int i = 0; i < query.record().count(); ++i)
            row.push_back(query.value(i).toString().toStdString());
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string TestPractice::Scalar(const std::string& sql) const
{
    const auto rows = Query(sql);
    return rows.empty() || rows.front().empty() ? std::string() : rows.front().front();
}

long TestPractice::Count(const std::string& table, const std::string& where) const
{
    return std::stol(Scalar("SELECT COUNT(*) FROM " + table + (where.empty() ? "" : " WHERE " + where)));
}

std::string TestPractice::Dump(const std::string& table, const std::string& where) const
{
    std::string dump;
    for (const auto& row : Query("SELECT * FROM " + table + (where.empty() ? "" : " WHERE " + where) + " ORDER BY "
                                 + JoinColumns(SchemaTable(table).primaryKey, ","))) {
        for (std::size_t i = 0; i < row.size(); ++i)
            dump += (i == 0 ? "" : "|") + row[i];
        dump += '\n';
    }
    return dump;
}

std::map<std::string, std::string> TestPractice::DumpAll() const
{
    std::map<std::string, std::string> dumps;
    for (const TableDef& table : PracticeSchema())
        dumps[table.name] = Dump(table.name);
    return dumps;
}

void TestPractice::Set(const std::string& section, const std::string& name, const std::string& value) const
{
    CIniFile::Change(m_folder + "/vqparams.ini", section, name, value);
}

void TestPractice::WriteFile(const std::string& relativePath, const std::string& content) const
{
    const fs::path path = fs::path(m_folder) / relativePath;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

bool TestPractice::Exists(const std::string& relativePath) const
{
    return fs::exists(fs::symlink_status(fs::path(m_folder) / relativePath));
}

std::string TestPractice::Read(const std::string& relativePath) const
{
    std::ifstream file(fs::path(m_folder) / relativePath, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::vector<std::string> TestPractice::ListTree() const
{
    std::vector<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(m_folder))
        entries.push_back(fs::relative(entry.path(), m_folder).string() + (entry.is_directory() ? "/" : ""));
    std::sort(entries.begin(), entries.end());
    return entries;
}

void TestPractice::CutServerConnections() const
{
    if (Dialect() == SqlDialect::MariaDb) {
        for (const auto& row : Query("SELECT ID FROM information_schema.PROCESSLIST WHERE DB='" + m_serverDatabase
                                     + "' AND ID<>CONNECTION_ID()"))
            Exec("KILL CONNECTION " + row.front());
        return;
    }
    Exec("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname=current_database() AND pid<>pg_backend_pid()");
}
