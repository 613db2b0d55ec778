#pragma once
#include <string>
#include <vector>

// Word lists for German sample people, places and services.
const std::vector<std::string>& FemaleFirstNames();
const std::vector<std::string>& MaleFirstNames();
const std::vector<std::string>& FamilyNames();
const std::vector<std::string>& StreetNames();
const std::vector<std::string>& Towns();          // "PLZ Ort"
const std::vector<std::string>& ServiceCodes();   // fee-schedule numbers
const std::vector<std::string>& LabItems();
