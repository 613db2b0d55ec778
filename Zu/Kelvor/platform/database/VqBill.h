#pragma once
#include "HbRSet.h"

// Table BILL read through its keys.
class CVqBill : public CHbRSet {
public:
    CVqBill(CHbRSetDatabase* db, const char* fields = nullptr);
};
