#pragma once
#include <string>

// One treater as the run sees it: its key and the owners it works for.
struct TreaterEntry {
    std::string lebId;
    std::string cashOwnerId;     // owner of the statutory-insurance practice, may be empty
    std::string privateOwnerId;  // owner of the private practice, may be empty
};
