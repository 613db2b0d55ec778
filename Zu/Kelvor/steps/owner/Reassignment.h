#pragma once
#include <string>
#include <string_view>

// One key column handed from a removed owner or treater to its replacement.
struct Reassignment {
    std::string_view table;
    std::string_view column;

    // "UPDATE <table> SET <column>='<replacement>' WHERE <column>='<removed>'",
    // both keys quoted.
    std::string Statement(std::string_view replacement, std::string_view removed) const;
};
