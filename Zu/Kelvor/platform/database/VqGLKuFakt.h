#pragma once
#include "HbRSet.h"

// Table GLKUFAKT read through its keys.
class CVqGLKuFakt : public CHbRSet {
public:
    CVqGLKuFakt(CHbRSetDatabase* db, const char* fields = nullptr);
};
