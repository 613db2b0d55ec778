#pragma once
#include "HbRSetDatabase.h"
#include <string>

// The shared connections of the practice system's database layer.
extern CHbRSetDatabase dbDatabase;    // read-write
extern CHbRSetDatabase dbDatabaseRO;  // read-only
extern std::string dbLfdInstanz;
extern bool dbDeleteProtokoll;

// Opens both shared connections from the practice settings. On failure it shows
// the practice system's own message (Halt) with the cause and returns false.
bool OpenDatabase(int mode);
void CloseDatabase();
