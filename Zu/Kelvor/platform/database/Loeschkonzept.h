#pragma once
#include <string>

class CHbRSetDatabase;
class CVqPat;

// The patient a complete removal is about, taken from the current patient row.
struct SDelPat {
    explicit SDelPat(const CVqPat& pat);
    std::string patNr;
};

// The practice system's deletion concept.
class CLoeschkonzept {
public:
    // Removes the patient's rows from BEH, BILL, FAKT, CASH, ABEFUND, KFOBEFUND,
    // ROEBEFUND, ARCHIV, REZEPT, PATINFO, LBLOCK, LBLOCKENTRY, GIPS, ZPLAN,
    // WARTELISTE, WORKFLOW and DOKUMENT in one transaction, then the folder
    // pat/<PATNR>/ of the data folder. Any failed statement rolls back: false.
    // PAT and ADR rows are the caller's.
    bool DeletePatComplete(CHbRSetDatabase& db, const SDelPat& pat, const std::string& dataPath, bool withFiles);
};
