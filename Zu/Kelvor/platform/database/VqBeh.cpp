#include "VqBeh.h"
#include "Selection.h"

CVqBeh::CVqBeh(CHbRSetDatabase* db, const char* /*fields*/) : CHbRSet(db, "BEH", {{"PATNR", "LFDBEH"}}) {}

// Beyond the assigned PATNR and LEBID (the latter with withLebId): from and to
// bound DATUM, leistung and befundArt must equal LEISTUNG and BEFUNDART, onlyOpen
// keeps rows without billing case, onlyBilled rows with one. The billing type,
// quarter and list switch belong to the billing case, not to the service row, and
// select nothing here.
int CVqBeh::GetForEvaluate(const std::string& from, const std::string& to, const std::string& leistung,
                           const std::string& befundArt, const std::string& /*abrTyp*/, bool withLebId,
                           bool onlyOpen, bool onlyBilled, int /*quarter*/, int /*showGpLst*/)
{
    CSelection rows;
    if (IsAssigned("PATNR"))
        rows.Equal("PATNR", GetField("PATNR"));
    if (withLebId && IsAssigned("LEBID"))
        rows.Equal("LEBID", GetField("LEBID"));
    if (!from.empty())
        rows.Add("DATUM>=?", {from});
    if (!to.empty())
        rows.Add("DATUM<=?", {to});
    rows.EqualUnlessEmpty("LEISTUNG", leistung);
    rows.EqualUnlessEmpty("BEFUNDART", befundArt);
    if (onlyOpen)
        rows.Add("LFDPATBILL=''", {});
    if (onlyBilled)
        rows.Add("LFDPATBILL<>''", {});
    return Select(rows.Where(), rows.Values(), 1);
}
