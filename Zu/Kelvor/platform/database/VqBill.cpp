#include "VqBill.h"

CVqBill::CVqBill(CHbRSetDatabase* db, const char* /*fields*/) : CHbRSet(db, "BILL", {{"PATNR", "LFDPATBILL"}, {"MDID", "PATNR", "LFDPATBILL"}}) {}
