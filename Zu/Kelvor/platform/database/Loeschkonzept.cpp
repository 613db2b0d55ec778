#include "Loeschkonzept.h"
#include "BoundStatement.h"
#include "DBException.h"
#include "FileStore.h"
#include "HbRSetDatabase.h"
#include "HbTrace.h"
#include "PlainName.h"
#include "VqPat.h"
#include "WindowServing.h"
#include <algorithm>
#include <filesystem>
#include <vector>

namespace {

// The patient's own rows. The finance journal and the transfer records are the
// practice's books and stay; PAT and ADR are the caller's.
constexpr const char* kPatientTables[] = {"BEH",    "BILL",  "FAKT",        "CASH", "ABEFUND",    "KFOBEFUND",
                                          "ROEBEFUND", "ARCHIV", "REZEPT",   "PATINFO", "LBLOCK", "LBLOCKENTRY",
                                          "GIPS",   "ZPLAN", "WARTELISTE", "WORKFLOW", "DOKUMENT"};

namespace fs = std::filesystem;

// Kelvor's own folder in the data folder, a name the practice system does not use:
// a folder of the practice's own is never emptied by a run.
std::string HoldingFolder(const std::string& dataPath)
{
    return NativePath(dataPath + "Kelvor.geloescht");
}

// A folder itself, not a link to one: nothing is moved into or removed through a link.
bool IsRealFolder(const fs::path& path)
{
    std::error_code error;
    return fs::symlink_status(path, error).type() == fs::file_type::directory;
}

// After a run nothing of the holding folder remains unless something waits in it.
void RemoveHoldingFolderIfEmpty(const std::string& dataPath)
{
    const std::string holding = HoldingFolder(dataPath);
    std::error_code error;
    if (!CFileStoreListing::Active() && IsRealFolder(holding) && fs::is_empty(holding, error) && !error)
        fs::remove(holding, error);
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
    const fs::path holding = fs::path(aside).parent_path();
    std::error_code error;
    if (!CFileStoreListing::Active()) {   // a listing only looks
        fs::create_directory(holding, error);
        if (!IsRealFolder(holding))
            return false;
    }
    if (fs::exists(fs::symlink_status(aside, error)))
        DeleteTreeDB(aside + "/");   // a leftover of an earlier removal of the same number
    return MoveFolderDB(folder, aside);
}

} // namespace

SDelPat::SDelPat(const CVqPat& pat) : patNr(pat.GetField("PATNR")) {}

bool CLoeschkonzept::DeletePatComplete(CHbRSetDatabase& db, const SDelPat& pat, const std::string& dataPath,
                                       bool withFiles)
{
    // The whole key, NUL included: a row key that names no entry inside pat/ could
    // name pat/ itself or a folder outside it, and its rows could be another's.
    if (!IsPlainName(pat.patNr))
        return false;
    std::error_code error;
    const bool hasFolder =
        withFiles && !dataPath.empty() && fs::is_directory(PatientFolder(dataPath, pat.patNr), error);
    const std::string folder = hasFolder ? PatientFolder(dataPath, pat.patNr) : std::string();
    const std::string aside = hasFolder ? HoldingFolder(dataPath) + "/" + pat.patNr : std::string();
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
        RemoveHoldingFolderIfEmpty(dataPath);
        return false;
    }
    if (hasFolder && !CWindowServing::WhileServing([&aside] { return DeleteTreeDB(aside + "/"); }))
        TraceFolder("cannot remove, the next run removes", aside);
    RemoveHoldingFolderIfEmpty(dataPath);
    return true;
}

bool CLoeschkonzept::HoldingFolderUsable(const std::string& dataPath)
{
    if (dataPath.empty())
        return true;   // no data folder, no holding folder
    std::error_code error;
    const fs::file_type type = fs::symlink_status(HoldingFolder(dataPath), error).type();
    return type == fs::file_type::not_found || type == fs::file_type::directory;
}

void CLoeschkonzept::RemoveMovedFolders(CHbRSetDatabase& db, const std::string& dataPath)
{
    const std::string holding = HoldingFolder(dataPath);
    if (dataPath.empty() || !IsRealFolder(holding))
        return;
    std::error_code error;
    // Taken first, the walk removes and moves entries; in name order, as the trace shows them.
    std::vector<fs::path> entries;
    for (const auto& entry : fs::directory_iterator(holding, error))
        entries.push_back(entry.path());
    std::ranges::sort(entries);
    for (const fs::path& entry : entries) {
        const std::string patNr = entry.filename().string();
        const bool patientFolder = IsRealFolder(entry) && IsPlainName(patNr);
        if (patientFolder && !PatientExists(db, patNr)) {
            if (!DeleteTreeDB(entry.string() + "/"))
                TraceFolder("cannot remove", entry.string());
        } else if (const std::string folder = PatientFolder(dataPath, patNr);
                   patientFolder && !fs::exists(fs::symlink_status(folder, error))) {
            // A run that ended between the move and the transaction left the patient whole.
            if (!MoveFolderDB(entry.string(), folder))
                TraceFolder("cannot move back", entry.string());
        } else {
            TraceFolder("leaves", entry.string());
        }
    }
    RemoveHoldingFolderIfEmpty(dataPath);
}
