#pragma once
#include "HbRSet.h"

// Table MANDANT read through its keys.
class CVqMandant : public CHbRSet {
public:
    CVqMandant(CHbRSetDatabase* db, const char* fields = nullptr);
};
