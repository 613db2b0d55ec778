#include "VqMandant.h"

CVqMandant::CVqMandant(CHbRSetDatabase* db, const char* /*fields*/) : CHbRSet(db, "MANDANT", {{"MDID"}}) {}
