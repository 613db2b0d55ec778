#pragma once
#include <cstdint>
#include <random>
#include <string>
#include <vector>

// Random choices that depend on the seed alone. The engine's raw outputs are
// portable; the standard distributions are not, so ranges are mapped here.
class SeededRandom {
public:
    explicit SeededRandom(unsigned seed) : m_engine(seed) {}

    std::uint32_t Below(std::uint32_t bound);            // 0 .. bound-1; 0 for bound 0
    int Between(int low, int high);                      // low .. high, both included
    bool Percent(unsigned chance);                       // true in chance of 100 cases
    const std::string& Pick(const std::vector<std::string>& items);

private:
    std::mt19937 m_engine;
};
