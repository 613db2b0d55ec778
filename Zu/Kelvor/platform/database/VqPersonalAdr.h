#pragma once
#include "VqAdr.h"

// Table PERSONALADR (staff addresses) read through PERSONALID.
class CVqPersonalAdr : public CVqAdr {
public:
    explicit CVqPersonalAdr(CHbRSetDatabase* db);
};
