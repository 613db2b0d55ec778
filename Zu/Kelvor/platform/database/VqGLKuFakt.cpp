#include "VqGLKuFakt.h"

CVqGLKuFakt::CVqGLKuFakt(CHbRSetDatabase* db, const char* /*fields*/) : CHbRSet(db, "GLKUFAKT", {{"MDID", "LFDGLKU", "LFDGLKUFAKT"}}) {}
