#include "DBException.h"
#include "DatabaseTest.h"
#include <QSettings>
#include <QSqlDatabase>
#include <cstring>
#include <filesystem>

namespace {

std::string OpenError(CHbRSetDatabase& db, const std::string& connect, bool readOnly = false)
{
    try {
        db.Open(nullptr, false, readOnly, connect, true);
    } catch (const CDBException& error) {
        return error.ErrorText();
    }
    return "opened";
}

void SetConnect(const TestPractice& practice, const std::string& connect)
{
    QSettings settings(QString::fromStdString(practice.Folder() + "/vqparams.ini"), QSettings::IniFormat);
    settings.setValue(QStringLiteral("Datenbank/Verbindung"), QString::fromStdString(connect));
}

} // namespace

TEST(ErrorMessage, IsCutToFitAndZeroTerminated)
{
    const CDBException error("abcdefgh");
    char buffer[6];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_TRUE(error.GetErrorMessage(buffer, sizeof buffer));
    EXPECT_STREQ("abcde", buffer);

    char exact[9];
    EXPECT_TRUE(error.GetErrorMessage(exact, sizeof exact));
    EXPECT_STREQ("abcdefgh", exact);

    EXPECT_FALSE(CDBException("").GetErrorMessage(buffer, sizeof buffer));
    EXPECT_STREQ("", buffer);
    EXPECT_FALSE(error.GetErrorMessage(buffer, 0));
}

TEST_F(DatabaseTest, SharedConnectionsOpenFromTheSettings)
{
    EXPECT_TRUE(dbDatabase.IsOpen());
    EXPECT_TRUE(dbDatabaseRO.IsOpen());
    EXPECT_EQ("sqlite:praxis.db", dbDatabase.GetCryptConnect());
    EXPECT_TRUE(dbDatabase.IsSqlite());
    EXPECT_TRUE(dbDatabaseRO.IsReadOnly());
    EXPECT_EQ("wal", practice.Scalar("PRAGMA journal_mode"));
    EXPECT_TRUE(m_messages.Messages().empty());

    const std::string name = dbDatabase.ConnectionName();
    CloseDatabase();
    EXPECT_FALSE(dbDatabase.IsOpen());
    EXPECT_FALSE(QSqlDatabase::contains(QString::fromStdString(name)));
    CloseDatabase();   // a second close is harmless
}

TEST_F(DatabaseTest, ReadOnlyConnectionRefusesWrites)
{
    EXPECT_THROW(dbDatabaseRO.ExecuteSQL("INSERT INTO MANDANT (MDID) VALUES ('01')"), CDBException);
    EXPECT_EQ(0, practice.Count("MANDANT"));
    dbDatabase.ExecuteSQL("INSERT INTO MANDANT (MDID) VALUES ('01')");
    EXPECT_EQ(1, practice.Count("MANDANT"));
}

TEST_F(DatabaseTest, FailedStatementThrowsAndLeavesTheConnectionUsable)
{
    EXPECT_THROW(dbDatabase.ExecuteSQL("INSERT INTO NOSUCHTABLE (X) VALUES ('1')"), CDBException);
    EXPECT_THROW(dbDatabase.ExecuteSQL("INSERT INTO MANDANT (MDID) VALUES ('01'"), CDBException);
    dbDatabase.ExecuteSQL("INSERT INTO MANDANT (MDID) VALUES ('01')");
    EXPECT_EQ(1, practice.Count("MANDANT"));
}

TEST_F(DatabaseTest, TransactionRollsBackOnError)
{
    EXPECT_THROW(dbDatabase.InTransaction([] {
        dbDatabase.ExecuteSQL("INSERT INTO MANDANT (MDID) VALUES ('01')");
        dbDatabase.ExecuteSQL("INSERT INTO MANDANT (MDID) VALUES ('01')");   // duplicate key
    }),
                 CDBException);
    EXPECT_EQ(0, practice.Count("MANDANT"));
    dbDatabase.InTransaction([] { dbDatabase.ExecuteSQL("INSERT INTO MANDANT (MDID) VALUES ('02')"); });
    EXPECT_EQ(1, practice.Count("MANDANT"));
}

TEST_F(DatabaseTest, MissingFileIsNamedAndNotCreated)
{
    const std::string file = practice.Folder() + "/fehlt.db";
    CHbRSetDatabase db;
    EXPECT_EQ("Die Datenbankdatei " + file + " ist nicht vorhanden.", OpenError(db, "sqlite:fehlt.db"));
    EXPECT_EQ("Die Datenbankdatei " + file + " ist nicht vorhanden.", OpenError(db, "sqlite:fehlt.db", true));
    EXPECT_FALSE(db.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(DatabaseTest, OpenDatabaseShowsTheCauseAndClosesBoth)
{
    CloseDatabase();
    SetConnect(practice, "sqlite:alt/praxis.db");
    EXPECT_FALSE(OpenDatabase(2));
    ASSERT_EQ(1u, m_messages.Messages().size());
    EXPECT_EQ(MessageKind::Halt, m_messages.Messages()[0].kind);
    EXPECT_EQ("Die Praxisdatenbank kann nicht geöffnet werden:\nDie Datenbankdatei " + practice.Folder()
                  + "/alt/praxis.db ist nicht vorhanden.",
              m_messages.Messages()[0].text);
    EXPECT_FALSE(dbDatabase.IsOpen());
    EXPECT_FALSE(dbDatabaseRO.IsOpen());
}

TEST_F(DatabaseTest, FileThatIsNoDatabaseFails)
{
    practice.WriteFile("kaputt.db", "this is not a database, just text that fills the header page");
    CHbRSetDatabase db;
    for (const bool readOnly : {false, true}) {
        const std::string error = OpenError(db, "sqlite:kaputt.db", readOnly);
        const std::string prefix = "Die Datenbankdatei " + practice.Folder() + "/kaputt.db kann nicht geöffnet werden: ";
        EXPECT_EQ(prefix, error.substr(0, prefix.size()));
        EXPECT_FALSE(db.IsOpen());
    }
}

TEST_F(DatabaseTest, ServerErrorNamesTheServerButNeverTheConnectText)
{
    CHbRSetDatabase db;
    const std::string error =
        OpenError(db, "odbc:DRIVER={Kein Treiber};SERVER=db.praxis;DATABASE=praxis;UID=praxis;PWD={ge;heim}");
    const std::string prefix = "Der Datenbankserver db.praxis (Datenbank praxis) ist nicht erreichbar: ";
    EXPECT_EQ(prefix, error.substr(0, prefix.size()));
    EXPECT_EQ(std::string::npos, error.find("heim"));
    EXPECT_EQ(std::string::npos, error.find("DRIVER="));
    EXPECT_EQ("Die Datenbankverbindung ist weder eine SQLite-Datei noch eine ODBC-Verbindung.",
              OpenError(db, "mysql:praxis"));
}
