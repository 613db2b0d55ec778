#include "Windows1252.h"
#include <cerrno>
#include <iconv.h>
#include <memory>
#include <stdexcept>

namespace {
struct IconvClose {
    void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using Converter = std::unique_ptr<void, IconvClose>;

Converter OpenConverter()
{
    const iconv_t cd = iconv_open("WINDOWS-1252", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("no UTF-8 to Windows-1252 converter");
    return Converter(cd);
}
}  // namespace

std::string ToWindows1252(std::string_view utf8)
{
    static const Converter converter = OpenConverter();
    const auto cd = static_cast<iconv_t>(converter.get());
    iconv(cd, nullptr, nullptr, nullptr, nullptr);

    std::string in(utf8);
    std::string out(in.size(), '\0');  // never longer than its UTF-8 form
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
            break;
        if (errno != EILSEQ && errno != EINVAL)
            break;
        // Skip the whole UTF-8 sequence that has no Windows-1252 form.
        size_t length = 1;
        while (length < inLeft && (static_cast<unsigned char>(inPtr[length]) & 0xC0) == 0x80)
            ++length;
        inPtr += length;
        inLeft -= length;
        *outPtr++ = '?';
        --outLeft;
    }
    out.resize(out.size() - outLeft);
    return out;
}
