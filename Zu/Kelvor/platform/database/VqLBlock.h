#pragma once
#include "HbRSet.h"
#include <string>

// Table LBLOCK read through its keys.
class CVqLBlock : public CHbRSet {
public:
    CVqLBlock(CHbRSetDatabase* db, const char* fields = nullptr);
    // With all eight texts empty: every voucher whose RECHNR is not empty (the
    // laboratory invoices of all owners), by key 1. A non-empty text selects on
    // PATNR, LFDPLAN, LFDLBLOCK, LEBID, RECHNR, MDID, date from, date to.
    int GetLabRech(const std::string& patNr, const std::string& lfdPlan, const std::string& lfdLBlock,
                   const std::string& lebId, const std::string& rechNr, const std::string& mdId,
                   const std::string& from, const std::string& to);
};
