#include "VqAdr.h"

// Format 1, the only one the practice system asks for: "Dr. Anna Berger".
std::string CVqAdr::MakeFullName(int /*format*/) const
{
    std::string name;
    for (const char* column : {"TITEL", "VORNAME", "NAME"}) {
        const std::string& part = GetField(column);
        if (!part.empty())
            name += (name.empty() ? "" : " ") + part;
    }
    return name;
}
