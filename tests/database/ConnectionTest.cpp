#include "DBException.h"
#include "DatabaseTest.h"
#include <QSqlDatabase>
#include <filesystem>

TEST_F(DatabaseTest, MissingOrBrokenDatabasesAreNamedNotCreatedAndReported)
{
    const auto OpenError = [](const std::string& connect, bool readOnly = false) {
        CHbRSetDatabase db;
        try {
            db.Open(nullptr, false, readOnly, connect, true);
        } catch (const CDBException& error) {
            return error.ErrorText() + (db.IsOpen() ? " (left open)" : "");
        }
        return std::string("opened");
    };
    EXPECT_EQ("wal", practice.Scalar("PRAGMA journal_mode"));
    // Connections left open do not crash the program's end; closed, they are gone.
    EXPECT_EXIT(std::exit(dbDatabase.IsOpen() ? 0 : 1), ::testing::ExitedWithCode(0), "");
    const QString name = QString::fromStdString(dbDatabase.ConnectionName());
    CloseDatabase();
    EXPECT_FALSE(QSqlDatabase::contains(name));
    practice.Set("Datenbank", "Verbindung", "sqlite:alt/praxis.db");
    const std::string cause = "Die Datenbankdatei " + practice.Folder() + "/alt/praxis.db ist nicht vorhanden.";
    EXPECT_FALSE(OpenDatabase(2));
    ASSERT_EQ(1u, m_messages.Messages().size());
    EXPECT_EQ(MessageKind::Halt, m_messages.Messages()[0].kind);
    EXPECT_EQ("Die Praxisdatenbank kann nicht geöffnet werden:\n" + cause, m_messages.Messages()[0].text);
    EXPECT_FALSE(dbDatabase.IsOpen() || dbDatabaseRO.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(practice.Folder() + "/alt/praxis.db"));

    practice.WriteFile("kaputt.db", std::string(4096, 'x'));
    const std::string broken =
        "Die Datenbankdatei " + practice.Folder() + "/kaputt.db kann nicht geöffnet werden: file is not a database";
    EXPECT_EQ(broken, OpenError("sqlite:kaputt.db"));
    EXPECT_EQ(broken, OpenError("sqlite:kaputt.db", true));
    EXPECT_EQ("Die Datenbankverbindung ist weder eine SQLite-Datei noch eine ODBC-Verbindung.", OpenError("mysql:x"));
    // The driver's own words follow; neither the connect text nor the password may.
    const std::string error = OpenError("odbc:DRIVER={Kein Treiber};SERVER=db.praxis;DATABASE=praxis;PWD={ge;heim}");
    const std::string prefix = "Der Datenbankserver db.praxis (Datenbank praxis) ist nicht erreichbar: ";
    EXPECT_EQ(prefix, error.substr(0, prefix.size()));
    EXPECT_EQ(std::string::npos, error.find("heim"));
    EXPECT_EQ(std::string::npos, error.find("DRIVER="));

    // An empty file stays empty, a database without the practice's tables is named as such.
    practice.WriteFile("leer.db", "");
    EXPECT_EQ("Die Datenbankdatei " + practice.Folder() + "/leer.db ist keine Praxisdatenbank.", OpenError("sqlite:leer.db"));
    EXPECT_EQ(0u, std::filesystem::file_size(practice.Folder() + "/leer.db"));
    practice.Exec("ALTER TABLE BEH RENAME TO BEH_ALT");
    EXPECT_EQ("Die Datenbankdatei " + practice.Folder() + "/praxis.db ist keine Praxisdatenbank.",
              OpenError("sqlite:praxis.db", true));
}

// A practice folder or settings file that is missing is named, never taken for a missing connection.
TEST_F(DatabaseTest, AMissingPracticeFolderOrSettingsFileIsNamed)
{
    CloseDatabase();
    const std::string folder = practice.Folder() + "/";
    std::filesystem::rename(folder + "vqparams.ini", folder + "vqparams.alt");
    EXPECT_FALSE(OpenDatabase(2));
    ::setenv("VQ_PRAXIS", (folder + "fehlt").c_str(), 1);
    EXPECT_FALSE(OpenDatabase(2));
    ::setenv("VQ_PRAXIS", practice.Folder().c_str(), 1);
    Texts texts;
    for (const auto& message : m_messages.Messages())
        texts.push_back(message.text);
    EXPECT_EQ(texts, (Texts{"Die Praxisdatenbank kann nicht geöffnet werden:\nDie Datei " + folder + "vqparams.ini gibt es nicht.",
                            "Die Praxisdatenbank kann nicht geöffnet werden:\nDen Praxisordner " + folder +
                                "fehlt/ gibt es nicht."}));
}
