#pragma once
#include "SeededRandom.h"
#include <string>

// Texts of sample rows that several generators share.
struct SamplePerson {
    std::string anrede;
    std::string titel;
    std::string vorname;
    std::string name;
};

std::string Padded(long number, int width);                   // "000042"
std::string SampleDate(SeededRandom& random, int firstYear, int lastYear);   // "YYYYMMDD"
std::string SampleAmount(SeededRandom& random, int lowEuro, int highEuro);   // "123.45"
SamplePerson RandomPerson(SeededRandom& random, unsigned doctorPercent);
std::string Initials(const SamplePerson& person);             // first letters, UTF-8 safe
std::string TownName(const std::string& town);                // "80331 München" -> "München"
std::string TownCode(const std::string& town);                // "80331 München" -> "80331"
