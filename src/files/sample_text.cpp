#include "sample_text.h"

#include <cstdint>
#include <optional>

namespace zelmak {

namespace {

// The code points of valid UTF-8, or nothing: overlong forms, surrogates and code points beyond
// U+10FFFF make the sample ISO 8859-1, as a stray 8-bit byte does.
template <typename Emit> bool decodeUtf8(std::string_view bytes, Emit emit) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 0;
        std::uint32_t cp = 0;
        std::uint32_t least = 0;
        if (lead < 0x80) {
            emit(lead);
            ++i;
            continue;
        }
        if ((lead & 0xE0) == 0xC0) {
            length = 2, cp = lead & 0x1Fu, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, cp = lead & 0x0Fu, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, cp = lead & 0x07u, least = 0x10000;
        } else {
            return false;
        }
        if (bytes.size() - i < length)
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (next & 0x3Fu);
        }
        if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        emit(cp);
        i += length;
    }
    return true;
}

} // namespace

Latin1Text latin1FromSample(std::string_view bytes) {
    Latin1Text out;
    out.text.reserve(bytes.size());
    const bool utf8 = decodeUtf8(bytes, [&out](std::uint32_t cp) {
        if (cp <= 0xFF)
            out.text.push_back(static_cast<char>(cp));
        else
            ++out.dropped;
    });
    if (!utf8)
        return Latin1Text{std::string(bytes), 0};
    return out;
}

} // namespace zelmak
