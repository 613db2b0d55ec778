#pragma once
#include <string>

std::string itoc(long value);   // decimal text
int ishbdigit(int ch);          // non-zero for '0'..'9'
