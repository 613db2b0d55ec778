#pragma once
#include <string>

// The practice settings (vqparams.ini in the practice folder named by VQ_PRAXIS,
// else the current directory). Folders are absolute and end in a separator.
std::string GetVqPraxisPath();               // the practice folder
std::string GetVqDataPath(int which);        // [Pfade] Daten
std::string GetVqLogPath();                  // [Pfade] Log
std::string GetVqQAPath();                   // [Pfade] QA
std::string GetVqConnect();                  // [Datenbank] Verbindung, as written
std::string GetVqPasswordHash();             // [Kennwort] Hash, empty when missing
// The owner's photo fotos/mandant<MDID>.jpg in the data folder when it exists, else empty.
std::string GetVqMandantFotoPath(const std::string& mdId, bool mustExist);
