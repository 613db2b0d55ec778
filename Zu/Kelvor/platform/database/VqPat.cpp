#include "VqPat.h"

CVqPat::CVqPat(CHbRSetDatabase* db, const char* /*fields*/) : CHbRSet(db, "PAT", {{"PATNR"}}) {}
