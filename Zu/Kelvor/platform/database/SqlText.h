#pragma once
#include <string>
#include <vector>

// Inside the database layer: column names joined for SQL text ("A, B").
std::string JoinColumns(const std::vector<std::string>& columns, const char* separator);
