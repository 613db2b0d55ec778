#pragma once
#include "HbRSet.h"

// Table FAKT read through its keys.
class CVqFakt : public CHbRSet {
public:
    CVqFakt(CHbRSetDatabase* db, const char* fields = nullptr);
};
