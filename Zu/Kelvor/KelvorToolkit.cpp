// The operations every removal step rests on: statements on the dialog's own
// connection, status lines with the run log, progress and window pumping.
#include "Database.h"
#include "DBException.h"
#include "HbRSet.h"
#include "HbTrace.h"
#include "KelvorDlg.h"
#include "OpenFile.h"
#include "MessageService.h"
#include "PumpMessages.h"
#include "Seams.h"
#include "Windows1252.h"
#include <array>

namespace {
// Rounded done * 100 / total with a 64-bit intermediate, as the framework's MulDiv.
int MulDiv(long long number, long long numerator, long long denominator)
{
    if (denominator == 0)
        return -1;
    const long long product = number * numerator;
    const long long half = denominator / 2;
    return static_cast<int>((product >= 0 ? product + half : product - half) / denominator);
}

// The practice system's date formats for its connections to SQL Server and to Oracle,
// sent first on the dialog's own connection as that system sends them. No engine this
// program supports knows either statement: each fails there, changes nothing and is
// let go without a trace.
constexpr std::array kForeignDateFormats = {"SET DATEFORMAT ymd",
                                            "ALTER SESSION SET NLS_DATE_FORMAT='YYYY-MM_DD HH24:MI:SS'"};
}  // namespace

bool CKelvorDlg::ExecuteSQL(const std::string& statement)
{
    seam::DialogStatement::Call(statement);
    if (RunStatement(statement))
        return true;
    ++m_nFailedStatements;
    return false;
}

bool CKelvorDlg::RunStatement(const std::string& statement)
{
    try {
        if (!m_db.IsOpen() && !OpenVqDB(m_db, dbDatabase.GetCryptConnect())) {
            HbTrace(1, 0, __FILE__, __LINE__, "CKelvorDlg::ExecuteSQL: OpenVqDB: %s", statement.c_str());
            return false;
        }
        m_db.ExecuteSQL(statement);
        return true;
    } catch (const CException& e) {
        char error[260];
        e.GetErrorMessage(error, sizeof error);
        HbTrace(1, 0, __FILE__, __LINE__, "CKelvorDlg::ExecuteSQL: %s\n%s", statement.c_str(), error);
        return false;
    }
}

void CKelvorDlg::ReportDatabaseError(const CDBException& error, const std::string& closing)
{
    HbTrace(1, 0, __FILE__, __LINE__, "Datenbankfehler %s %s: %s", error.Table().c_str(), error.Operation().c_str(),
            error.ErrorText().c_str());
    Halt(6, "Datenbankfehler in Tabelle " + error.Table() + ":\n" + error.ErrorText() + "\n\n" + closing, 0);
}

bool CKelvorDlg::OpenVqDB(CHbRSetDatabase& db, const std::string& connect)
{
    try {
        if (!db.Open(nullptr, false, false, connect, true))
            return false;
        SetSessionOptions(db);
        return true;
    } catch (const CException&) {
        return false;
    }
}

void CKelvorDlg::SetSessionOptions(CHbRSetDatabase& db)
{
    db.m_dwQueryTimeout = 0;
    for (const char* statement : kForeignDateFormats) {
        try {
            db.ExecuteSQL(statement);
        } catch (const CException&) {
        }
    }
}

bool CKelvorDlg::DeleteWhereMdId(const std::string& table, const std::string& key)
{
    return ExecuteSQL("DELETE FROM " + table + " WHERE MDID='" + CHbRSet::DoQuotes(key) + "'");
}

bool CKelvorDlg::DeleteWhereLebId(const std::string& table, const std::string& key)
{
    return ExecuteSQL("DELETE FROM " + table + " WHERE LEBID='" + CHbRSet::DoQuotes(key) + "'");
}

void CKelvorDlg::AddStatusLine(const std::string& text)
{
    if (m_bTrial)
        return;
    m_memo.GetLines().Add(text);
    AppendToLogFile(m_strLogFile, text + "\n");  // a log that cannot be written never stops a run
}

// Every user account of the workstation writes to the same log.
bool CKelvorDlg::AppendToLogFile(const std::string& path, const std::string& text)
{
    const COpenFile file(path, OpenFor::Appending, 0666);
    const bool written = file.Append(ToWindows1252(text));
    file.SetMode(0666);
    return written;
}

void CKelvorDlg::PumpMessages()
{
    HbPumpMessages();
}

void CKelvorDlg::SetProgress(long done, long total)
{
    m_progress.SetPercent(MulDiv(done, 100, total));
    if ((done + 1) % 16 == 0)
        PumpMessages();
}
