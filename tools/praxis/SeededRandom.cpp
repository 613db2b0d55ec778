#include "SeededRandom.h"

std::uint32_t SeededRandom::Below(std::uint32_t bound)
{
    // Multiply-shift keeps every bound cheap; its tiny bias does not matter for sample data.
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(m_engine()) * bound) >> 32);
}

int SeededRandom::Between(int low, int high)
{
    return low + static_cast<int>(Below(static_cast<std::uint32_t>(high - low + 1)));
}

bool SeededRandom::Percent(unsigned chance)
{
    return Below(100) < chance;
}

const std::string& SeededRandom::Pick(const std::vector<std::string>& items)
{
    return items.at(Below(static_cast<std::uint32_t>(items.size())));
}
