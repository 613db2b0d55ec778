#include "VqPersonalAdr.h"

CVqPersonalAdr::CVqPersonalAdr(CHbRSetDatabase* db) : CVqAdr(db, "PERSONALADR", {{"PERSONALID"}}) {}
