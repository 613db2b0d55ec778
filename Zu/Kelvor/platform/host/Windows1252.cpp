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

Converter OpenConverter(const char* to, const char* from)
{
    const iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error(std::string("no ") + from + " to " + to + " converter");
    return Converter(cd);
}

// The length of the input sequence iconv could not convert at text.
using SequenceLength = std::size_t (*)(const char* text, std::size_t left);

std::size_t Utf8SequenceLength(const char* text, std::size_t left)
{
    std::size_t length = 1;
    while (length < left && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        ++length;
    return length;
}

std::size_t SingleByte(const char*, std::size_t)
{
    return 1;
}

// Converts text, at most growth bytes out for each byte in. Each unconvertible
// sequence becomes '?'; with strict set, the first one ends the conversion and
// the result is empty instead.
std::string Convert(const Converter& converter, std::string_view text, std::size_t growth, SequenceLength unconvertible,
                    bool strict = false)
{
    const auto cd = static_cast<iconv_t>(converter.get());
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string in(text);
    std::string out(in.size() * growth, '\0');
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
            break;
        if (errno != EILSEQ && errno != EINVAL)
            break;
        if (strict)
            return {};
        const std::size_t length = unconvertible(inPtr, inLeft);
        inPtr += length;
        inLeft -= length;
        *outPtr++ = '?';
        --outLeft;
    }
    out.resize(out.size() - outLeft);
    return out;
}
}  // namespace

std::string ToWindows1252(std::string_view utf8)
{
    static const Converter converter = OpenConverter("WINDOWS-1252", "UTF-8");
    return Convert(converter, utf8, 1, Utf8SequenceLength);   // never longer than its UTF-8 form
}

std::string FromWindows1252(std::string_view windows1252)
{
    static const Converter converter = OpenConverter("UTF-8", "WINDOWS-1252");
    return Convert(converter, windows1252, 3, SingleByte);   // "€" takes three bytes
}

bool IsUtf8(std::string_view text)
{
    // The converter checks every sequence: overlong forms, surrogates and cut-off ends fail.
    static const Converter converter = OpenConverter("UTF-8", "UTF-8");
    return text.empty() || !Convert(converter, text, 1, Utf8SequenceLength, true).empty();
}
