#include "HbBasis.h"

std::string itoc(long value)
{
    return std::to_string(value);
}

int ishbdigit(int ch)
{
    return ch >= '0' && ch <= '9';
}
