#include "VqFakt.h"

CVqFakt::CVqFakt(CHbRSetDatabase* db, const char* /*fields*/) : CHbRSet(db, "FAKT", {{"MDID", "PATNR", "LFDFAKT"}}) {}
