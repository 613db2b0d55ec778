#include "Loeschkonzept.h"
#include "BoundStatement.h"
#include "DBException.h"
#include "FileStore.h"
#include "HbRSetDatabase.h"
#include "HbTrace.h"
#include "VqPat.h"
#include "WindowServing.h"
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

// A patient's folder moved aside waits here, outside pat/, until its rows are gone.
std::string AsideFolder(const std::string& dataPath)
{
    return NativePath(dataPath + "geloescht\\");
}

std::string PatientFolder(const std::string& dataPath, const std::string& patNr)
{
    return NativePath(dataPath + "pat\\" + patNr);
}

void TraceFolder(const char* what, const std::string& folder)
{
    HbTrace(1, 0, __FILE__, __LINE__, "CLoeschkonzept: %s %s", what, folder.c_str());
}

bool PatientExists(CHbRSetDatabase& db, const std::string& patNr)
{
    bool found = false;
    RunBound(db, "SELECT PATNR FROM PAT WHERE PATNR=?", {patNr}, [&found](std::vector<std::string>&&) { found = true; });
    return found;
}

// The folder goes aside by a rename inside the data folder: it either moves whole
// or stays where it is.
bool MoveAside(const std::string& folder, const std::string& aside)
{
    std::error_code error;
    if (!CFileStoreListing::Active())
        std::filesystem::create_directories(std::filesystem::path(aside).parent_path(), error);
    if (std::filesystem::exists(aside, error))
        DeleteTreeDB(aside + "/");   // a leftover of an earlier removal of the same number
    return MoveFolderDB(folder, aside);
}

} // namespace

SDelPat::SDelPat(const CVqPat& pat) : patNr(pat.GetField("PATNR")) {}

bool CLoeschkonzept::DeletePatComplete(CHbRSetDatabase& db, const SDelPat& pat, const std::string& dataPath,
                                       bool withFiles)
{
    std::error_code error;
    const bool hasFolder = withFiles && !dataPath.empty() && NamesPatientFolder(pat.patNr) &&
                           std::filesystem::is_directory(PatientFolder(dataPath, pat.patNr), error);
    const std::string folder = hasFolder ? PatientFolder(dataPath, pat.patNr) : std::string();
    const std::string aside = hasFolder ? AsideFolder(dataPath) + pat.patNr : std::string();
    if (hasFolder && !MoveAside(folder, aside)) {
        TraceFolder("cannot move", folder);
        return false;
    }
    std::vector<std::string> deletes;
    for (const char* table : kPatientTables)
        deletes.push_back(std::string("DELETE FROM ") + table + " WHERE PATNR=?");
    try {
        RunAsOneTransaction(db, deletes, {pat.patNr});
    } catch (const CDBException& dbError) {
        HbTrace(1, 0, __FILE__, __LINE__, "CLoeschkonzept::DeletePatComplete %s: %s", pat.patNr.c_str(),
                dbError.ErrorText().c_str());
        if (hasFolder && !MoveFolderDB(aside, folder))
            TraceFolder("cannot move back", aside);
        return false;
    }
    if (hasFolder && !CWindowServing::WhileServing([&aside] { return DeleteTreeDB(aside + "/"); }))
        TraceFolder("cannot remove, the next run removes", aside);
    return true;
}

void CLoeschkonzept::RemoveMovedFolders(CHbRSetDatabase& db, const std::string& dataPath)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(AsideFolder(dataPath), error)) {
        const std::string patNr = entry.path().filename().string();
        const std::string folder = PatientFolder(dataPath, patNr);
        // A run that ended between the move and the transaction left the patient whole.
        if (PatientExists(db, patNr) && !std::filesystem::exists(folder, error)) {
            if (!MoveFolderDB(entry.path().string(), folder))
                TraceFolder("cannot move back", entry.path().string());
        } else if (!DeleteTreeDB(entry.path().string() + "/")) {
            TraceFolder("cannot remove", entry.path().string());
        }
    }
}
