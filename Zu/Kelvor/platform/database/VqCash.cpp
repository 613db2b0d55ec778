#include "VqCash.h"

CVqCash::CVqCash(CHbRSetDatabase* db, const char* /*fields*/) : CHbRSet(db, "CASH", {{"MDID", "PATNR", "LFDCASH"}}) {}
