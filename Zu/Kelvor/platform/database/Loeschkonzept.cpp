#include "Loeschkonzept.h"
#include "BoundStatement.h"
#include "DBException.h"
#include "FileStore.h"
#include "HbRSetDatabase.h"
#include "HbTrace.h"
#include "VqPat.h"
#include <filesystem>

namespace {

// The patient's own rows. The finance journal and the transfer records are the
// practice's books and stay; PAT and ADR are the caller's.
constexpr const char* kPatientTables[] = {"BEH",    "BILL",  "FAKT",        "CASH", "ABEFUND",    "KFOBEFUND",
                                          "ROEBEFUND", "ARCHIV", "REZEPT",   "PATINFO", "LBLOCK", "LBLOCKENTRY",
                                          "GIPS",   "ZPLAN", "WARTELISTE", "WORKFLOW", "DOKUMENT"};

// Only a folder strictly inside pat/ may be removed: a patient number that is
// empty, a dots entry or holds a separator would name pat/ itself or a folder
// outside it.
bool NamesPatientFolder(const std::string& patNr)
{
    return !patNr.empty() && patNr != "." && patNr != ".." && patNr.find_first_of("/\\") == std::string::npos;
}

// A patient without a folder is no failure.
bool RemovePatientFolder(const std::string& folder)
{
    std::error_code error;
    return !std::filesystem::is_directory(NativePath(folder), error) || DeleteTreeDB(folder);
}

} // namespace

SDelPat::SDelPat(const CVqPat& pat) : patNr(pat.GetField("PATNR")) {}

bool CLoeschkonzept::DeletePatComplete(CHbRSetDatabase& db, const SDelPat& pat, const std::string& dataPath,
                                       bool withFiles)
{
    try {
        db.InTransaction([&] {
            for (const char* table : kPatientTables)
                RunBound(db, std::string("DELETE FROM ") + table + " WHERE PATNR=?", {pat.patNr});
        });
    } catch (const CDBException& error) {
        HbTrace(1, 0, __FILE__, __LINE__, "CLoeschkonzept::DeletePatComplete %s: %s", pat.patNr.c_str(),
                error.ErrorText().c_str());
        return false;
    }
    if (!withFiles || dataPath.empty() || !NamesPatientFolder(pat.patNr))
        return true;
    const std::string folder = dataPath + "pat\\" + pat.patNr + "\\";
    if (RemovePatientFolder(folder))
        return true;
    HbTrace(1, 0, __FILE__, __LINE__, "CLoeschkonzept::DeletePatComplete: cannot remove %s", NativePath(folder).c_str());
    return false;
}
