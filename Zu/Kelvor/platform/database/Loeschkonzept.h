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
    // A patient goes whole or not at all: its folder pat/<PATNR>/ of the data folder
    // is first moved aside (to Kelvor.geloescht/<PATNR>/), then its rows of BEH, BILL, FAKT,
    // CASH, ABEFUND, KFOBEFUND, ROEBEFUND, ARCHIV, REZEPT, PATINFO, LBLOCK,
    // LBLOCKENTRY, GIPS, ZPLAN, WARTELISTE, WORKFLOW and DOKUMENT go in one
    // transaction, then the moved folder. A folder that cannot be moved: nothing is
    // removed, false. A failed statement rolls back and moves the folder back: false.
    // A moved folder that cannot be removed is traced and left to RemoveMovedFolders.
    // PAT and ADR rows are the caller's. A PATNR that is no plain name: nothing is
    // removed, false. Without a data folder the rows go without a folder step.
    bool DeletePatComplete(CHbRSetDatabase& db, const SDelPat& pat, const std::string& dataPath, bool withFiles);

    // False when Kelvor.geloescht in the data folder is a link or no folder: no
    // run may move folders into it.
    static bool HoldingFolderUsable(const std::string& dataPath);

    // What earlier removals left aside in Kelvor.geloescht: a patient's folder is
    // removed, or moved back to pat/ when its patient is still there and has no
    // folder (a run that ended between the move and the rows). Anything else
    // stays and is traced.
    static void RemoveMovedFolders(CHbRSetDatabase& db, const std::string& dataPath);
};
