#include "VqLBlock.h"
#include "Selection.h"

CVqLBlock::CVqLBlock(CHbRSetDatabase* db, const char* /*fields*/) : CHbRSet(db, "LBLOCK", {{"PATNR", "LFDPLAN", "LFDLBLOCK"}}) {}

// A voucher with a laboratory invoice number is a laboratory invoice. The
// voucher keeps no date, so the two dates select nothing.
int CVqLBlock::GetLabRech(const std::string& patNr, const std::string& lfdPlan, const std::string& lfdLBlock,
                          const std::string& lebId, const std::string& rechNr, const std::string& mdId,
                          const std::string& /*from*/, const std::string& /*to*/)
{
    CSelection invoices;
    invoices.Add("RECHNR<>''", {});
    invoices.EqualUnlessEmpty("PATNR", patNr);
    invoices.EqualUnlessEmpty("LFDPLAN", lfdPlan);
    invoices.EqualUnlessEmpty("LFDLBLOCK", lfdLBlock);
    invoices.EqualUnlessEmpty("LEBID", lebId);
    invoices.EqualUnlessEmpty("RECHNR", rechNr);
    invoices.EqualUnlessEmpty("MDID", mdId);
    return Select(invoices.Where(), invoices.Values(), 1);
}
