#pragma once
#include "HbRSet.h"

// Table CASH read through its keys.
class CVqCash : public CHbRSet {
public:
    CVqCash(CHbRSetDatabase* db, const char* fields = nullptr);
};
