#pragma once
#include "DialogFixture.h"
#include <string>
#include <vector>

using Lines = std::vector<std::string>;
using Rows = std::vector<Lines>;

// Owner 02 is removed; owner 01 takes over what stays.
class OwnerStepFixture : public DialogFixture {
protected:
    CKelvorDlg& Open(bool journalEntries = false)
    {
        OpenDialog(false);
        Dlg().m_strDeleteId = "02";
        Dlg().m_strReplacementId = "01";
        Dlg().m_bJournalEntries = journalEntries;
        return Dlg();
    }

    // Makes the statements the trigger covers fail with "test", e.g. "DELETE ON ZEHIT".
    void Refuse(const std::string& what)
    {
        Practice().Exec("CREATE TRIGGER FAIL BEFORE " + what + " BEGIN SELECT RAISE(ABORT,'test'); END");
    }

    // The executor's trace line: the statement, then the database's error.
    static std::string Trace(const std::string& statement, const std::string& error = "test")
    {
        return "CKelvorDlg::ExecuteSQL: " + statement + "\n" + error;
    }
};
