#include "steps/owner/Reassignment.h"
#include "HbRSet.h"

std::string Reassignment::Statement(std::string_view replacement, std::string_view removed) const
{
    const std::string col(column);
    return "UPDATE " + std::string(table) + " SET " + col + "='" + CHbRSet::DoQuotes(replacement)
        + "' WHERE " + col + "='" + CHbRSet::DoQuotes(removed) + "'";
}
