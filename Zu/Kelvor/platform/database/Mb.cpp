#include "Mb.h"
#include "DBException.h"
#include "Database.h"
#include "HbTrace.h"

// One statement over BEH: a service row stands for its billing case when it is
// the first of that case in key-1 order. Both sub-selects are index lookups
// (BILL by its key, BEH by PATNR and LFDPATBILL), so the work grows with BEH.
const char* const CMb::kMakeMissingBills =
    "INSERT INTO BILL (MDID, PATNR, LFDPATBILL, ABRTYP) "
    "SELECT COALESCE(CASE WHEN B.KZPRIVAT='1' THEN L.MDIDP ELSE L.MDIDK END, ''), B.PATNR, B.LFDPATBILL, "
    "CASE WHEN B.KZPRIVAT='1' THEN 'P' ELSE 'k' END "
    "FROM BEH B LEFT JOIN LEB L ON L.LEBID=B.LEBID "
    "WHERE B.LFDPATBILL<>'' "
    "AND NOT EXISTS (SELECT * FROM BILL X WHERE X.PATNR=B.PATNR AND X.LFDPATBILL=B.LFDPATBILL) "
    "AND NOT EXISTS (SELECT * FROM BEH E WHERE E.PATNR=B.PATNR AND E.LFDPATBILL=B.LFDPATBILL AND E.LFDBEH<B.LFDBEH)";

// The selection and the quarter are accepted for the practice system's callers;
// every patient and quarter is covered.
bool CMb::MakeBillsForAllPat(const std::string& /*selection*/, const std::string& /*quarter*/)
{
    try {
        dbDatabase.ExecuteSQL(kMakeMissingBills);
        return true;
    } catch (const CDBException& error) {
        HbTrace(1, 0, __FILE__, __LINE__, "CMb::MakeBillsForAllPat: %s", error.ErrorText().c_str());
        return false;
    }
}
