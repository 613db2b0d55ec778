#pragma once
#include "HbRSet.h"

// Table PAT read through its keys.
class CVqPat : public CHbRSet {
public:
    CVqPat(CHbRSetDatabase* db, const char* fields = nullptr);
};
