#include "DBException.h"
#include "DatabaseTest.h"
#include <QSqlDatabase>
#include <filesystem>

TEST_F(DatabaseTest, MissingOrBrokenPracticesAreNamedNotCreatedAndReported)
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
    // A missing database file, settings file or practice folder is named; nothing is
    // created, and a missing settings file is not taken for a missing connection.
    const std::string folder = practice.Folder() + "/";
    practice.Set("Datenbank", "Verbindung", "sqlite:alt/praxis.db");
    EXPECT_FALSE(OpenDatabase(2));
    EXPECT_FALSE(dbDatabase.IsOpen() || dbDatabaseRO.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(folder + "alt/praxis.db"));
    std::filesystem::rename(folder + "vqparams.ini", folder + "vqparams.alt");
    EXPECT_FALSE(OpenDatabase(2));
    ::setenv("VQ_PRAXIS", (folder + "fehlt").c_str(), 1);
    EXPECT_FALSE(OpenDatabase(2));
    ::setenv("VQ_PRAXIS", practice.Folder().c_str(), 1);
    Texts texts;
    for (const auto& message : m_messages.Messages())
        texts.push_back((message.kind == MessageKind::Halt ? "Halt: " : "") + message.text);
    const std::string cannot = "Halt: Die Praxisdatenbank kann nicht geöffnet werden:\n";
    EXPECT_EQ(texts, (Texts{cannot + "Die Datenbankdatei " + folder + "alt/praxis.db ist nicht vorhanden.",
                            cannot + "Die Datei " + folder + "vqparams.ini gibt es nicht.",
                            cannot + "Den Praxisordner " + folder + "fehlt/ gibt es nicht."}));

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
