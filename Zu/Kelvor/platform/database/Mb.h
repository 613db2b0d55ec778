#pragma once
#include <string>

// Billing-case maintenance of the practice system.
class CMb {
public:
    // For each (PATNR, LFDPATBILL) of BEH with a non-empty LFDPATBILL and no BILL
    // row, inserts the billing case: MDID the owner of the line treater of its
    // first service row (MDIDP when KZPRIVAT is "1", else MDIDK; empty for an
    // unknown treater), ABRTYP "P" when KZPRIVAT is "1", else "k"; links and
    // dates empty. Both arguments are accepted and select nothing.
    bool MakeBillsForAllPat(const std::string& selection, const std::string& quarter);

    // The one statement that does it.
    static const char* const kMakeMissingBills;
};
