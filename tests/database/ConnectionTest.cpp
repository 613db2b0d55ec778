#include "DBException.h"
#include "DatabaseTest.h"
#include <QSettings>
#include <QSqlDatabase>
#include <filesystem>

namespace {

std::string OpenError(const std::string& connect, bool readOnly = false)
{
    CHbRSetDatabase db;
    try {
        db.Open(nullptr, false, readOnly, connect, true);
    } catch (const CDBException& error) {
        EXPECT_FALSE(db.IsOpen());
        return error.ErrorText();
    }
    return "opened";
}

} // namespace

TEST(ErrorMessage, IsCutToFitAndZeroTerminated)
{
    char buffer[6] = "xxxxx";
    EXPECT_TRUE(CDBException("abcdefgh").GetErrorMessage(buffer, sizeof buffer));
    EXPECT_STREQ("abcde", buffer);
    EXPECT_FALSE(CDBException("").GetErrorMessage(buffer, sizeof buffer));
    EXPECT_STREQ("", buffer);
}

TEST_F(DatabaseTest, SharedConnectionsReadWriteAndReadOnly)
{
    EXPECT_EQ("sqlite:praxis.db", dbDatabase.GetCryptConnect());
    EXPECT_EQ("wal", practice.Scalar("PRAGMA journal_mode"));
    EXPECT_THROW(dbDatabaseRO.ExecuteSQL("INSERT INTO MANDANT (MDID) VALUES ('01')"), CDBException);
    // A failed statement leaves the connection usable.
    EXPECT_THROW(dbDatabase.ExecuteSQL("INSERT INTO MANDANT (MDID) VALUES ('01'"), CDBException);
    dbDatabase.ExecuteSQL("INSERT INTO MANDANT (MDID) VALUES ('01')");
    EXPECT_THROW(dbDatabase.InTransaction([] {
        dbDatabase.ExecuteSQL("INSERT INTO MANDANT (MDID) VALUES ('02')");
        dbDatabase.ExecuteSQL("INSERT INTO MANDANT (MDID) VALUES ('01')");   // duplicate key
    }),
                 CDBException);
    EXPECT_EQ("01||\n", practice.Dump("MANDANT"));

    const QString name = QString::fromStdString(dbDatabase.ConnectionName());
    CloseDatabase();
    EXPECT_FALSE(dbDatabase.IsOpen());
    EXPECT_FALSE(QSqlDatabase::contains(name));
}

TEST_F(DatabaseTest, MissingFileIsNamedNotCreatedAndReported)
{
    CloseDatabase();
    QSettings(QString::fromStdString(practice.Folder() + "/vqparams.ini"), QSettings::IniFormat)
        .setValue(QStringLiteral("Datenbank/Verbindung"), QStringLiteral("sqlite:alt/praxis.db"));
    const std::string cause = "Die Datenbankdatei " + practice.Folder() + "/alt/praxis.db ist nicht vorhanden.";
    EXPECT_EQ(cause, OpenError("sqlite:alt/praxis.db", true));
    EXPECT_FALSE(OpenDatabase(2));
    ASSERT_EQ(1u, m_messages.Messages().size());
    EXPECT_EQ(MessageKind::Halt, m_messages.Messages()[0].kind);
    EXPECT_EQ("Die Praxisdatenbank kann nicht geöffnet werden:\n" + cause, m_messages.Messages()[0].text);
    EXPECT_FALSE(dbDatabase.IsOpen());
    EXPECT_FALSE(dbDatabaseRO.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(practice.Folder() + "/alt/praxis.db"));
}

TEST_F(DatabaseTest, FileThatIsNoDatabaseFails)
{
    practice.WriteFile("kaputt.db", std::string(4096, 'x'));
    const std::string cause = "Die Datenbankdatei " + practice.Folder() + "/kaputt.db kann nicht geöffnet werden: file is not a database ";
    EXPECT_EQ(cause + "Unable to execute statement", OpenError("sqlite:kaputt.db"));
    EXPECT_EQ(cause + "Unable to fetch row", OpenError("sqlite:kaputt.db", true));
}

TEST(Connection, ServerErrorNamesTheServerButNeitherConnectTextNorPassword)
{
    const std::string error = OpenError("odbc:DRIVER={Kein Treiber};SERVER=db.praxis;DATABASE=praxis;PWD={ge;heim}");
    const std::string prefix = "Der Datenbankserver db.praxis (Datenbank praxis) ist nicht erreichbar: ";
    EXPECT_EQ(prefix, error.substr(0, prefix.size()));
    EXPECT_EQ(std::string::npos, error.find("heim"));
    EXPECT_EQ(std::string::npos, error.find("DRIVER="));
    EXPECT_EQ("Die Datenbankverbindung ist weder eine SQLite-Datei noch eine ODBC-Verbindung.", OpenError("mysql:x"));
}

TEST_F(DatabaseTest, ConnectionsLeftOpenDoNotCrashTheProgramEnd)
{
    EXPECT_EXIT(std::exit(dbDatabase.IsOpen() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}
