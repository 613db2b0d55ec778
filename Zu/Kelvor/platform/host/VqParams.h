#pragma once
#include <string>

// The practice settings (vqparams.ini in the practice folder named by VQ_PRAXIS,
// else the current directory). Folders are absolute and end in a separator; a
// folder setting that is missing or empty gives the empty text, which names no folder.
std::string GetVqPraxisPath();               // the practice folder
std::string GetVqDataPath(int which);        // [Pfade] Daten
std::string GetVqLogPath();                  // [Pfade] Log
std::string GetVqQAPath();                   // [Pfade] QA
std::string GetVqConnect();                  // [Datenbank] Verbindung, as written
std::string GetVqPasswordHash();             // [Kennwort] Hash, empty when missing
// The owner's photo fotos/mandant<MDID>.jpg in the data folder when it exists, else
// empty; empty too for a key that is no plain name or without a data folder.
std::string GetVqMandantFotoPath(const std::string& mdId, bool mustExist);
