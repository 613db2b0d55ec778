#pragma once
#include "HbRSet.h"
#include <string>

// Table GLBLOC read through its keys.
class CVqGLBloc : public CHbRSet {
public:
    CVqGLBloc(CHbRSetDatabase* db, const char* fields = nullptr);
    // The vouchers of one commercial-lab customer invoice, by key 1.
    int GetByLfdGLKuFakt(const std::string& lfdGlKu, const std::string& lfdGlKuFakt);
};
