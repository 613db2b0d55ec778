#include "Database.h"
#include "DBException.h"
#include "MessageService.h"
#include "VqParams.h"
#include <filesystem>

CHbRSetDatabase dbDatabase;
CHbRSetDatabase dbDatabaseRO;
std::string dbLfdInstanz;
// The practice system records every deletion unless a tool switches that off.
bool dbDeleteProtokoll = true;

// Mode 2, the only one in use, opens both shared connections.
bool OpenDatabase(int /*mode*/)
{
    try {
        // What is missing is named: the folder, the settings, then the connection.
        const std::string folder = GetVqPraxisPath();
        std::error_code error;
        if (!std::filesystem::is_directory(folder, error))
            throw CDBException("Den Praxisordner " + folder + " gibt es nicht.");
        if (!std::filesystem::is_regular_file(folder + "vqparams.ini", error))
            throw CDBException("Die Datei " + folder + "vqparams.ini gibt es nicht.");
        const std::string connect = GetVqConnect();
        if (connect.empty())
            throw CDBException("In " + GetVqPraxisPath() + "vqparams.ini ist keine Datenbankverbindung eingetragen.");
        dbDatabase.Open(nullptr, false, false, connect, true);
        dbDatabaseRO.Open(nullptr, false, true, connect, true);
        return true;
    } catch (const CException& error) {
        CloseDatabase();
        Halt(6, "Die Praxisdatenbank kann nicht geöffnet werden:\n" + error.ErrorText(), 0);
        return false;
    }
}

void CloseDatabase()
{
    dbDatabaseRO.Close();
    dbDatabase.Close();
}
