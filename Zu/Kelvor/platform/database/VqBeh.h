#pragma once
#include "HbRSet.h"
#include <string>

// Table BEH read through its keys.
class CVqBeh : public CHbRSet {
public:
    CVqBeh(CHbRSetDatabase* db, const char* fields = nullptr);
    // Service rows whose assigned PATNR and LEBID match, by key 1. The further
    // selection texts, flags and numbers select nothing when empty, false or 0.
    int GetForEvaluate(const std::string& from, const std::string& to, const std::string& leistung,
                       const std::string& befundArt, const std::string& abrTyp, bool withLebId,
                       bool onlyOpen, bool onlyBilled, int quarter, int showGpLst);
};
