#include "PlainName.h"
#include <algorithm>

namespace {

bool IsControl(char ch)
{
    const auto byte = static_cast<unsigned char>(ch);
    return byte < 0x20 || byte == 0x7F;
}

} // namespace

bool IsPlainName(std::string_view key)
{
    return !key.empty() && key != "." && key != ".." && key.find_first_of("/\\") == std::string_view::npos &&
           std::ranges::none_of(key, IsControl);
}

std::string WithVisibleControls(std::string_view key)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string shown;
    for (const char ch : key) {
        if (IsControl(ch)) {
            const auto byte = static_cast<unsigned char>(ch);
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 0x0F];
        } else {
            shown += ch;
        }
    }
    return shown;
}
