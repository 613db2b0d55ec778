#pragma once
#include "HbRSet.h"
#include <string>

// Table LEB read through its keys.
class CVqLeb : public CHbRSet {
public:
    CVqLeb(CHbRSetDatabase* db, const char* fields = nullptr);
    // Treaters whose cash-practice (MDIDK) or private-practice (MDIDP) owner is md, by key 1.
    int GetAllLebIdWithMdId(const std::string& md);
};
