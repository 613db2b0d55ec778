#pragma once
#include "HbRSet.h"

// Base of the address record classes.
class CVqAdr : public CHbRSet {
public:
    // Format 1: TITEL, VORNAME, NAME joined by single blanks, empty parts left out.
    std::string MakeFullName(int format) const;

protected:
    using CHbRSet::CHbRSet;
};
