#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zelmak {

// A sample text of unknown encoding, made 8-bit (ISO 8859-1) for convertForMachine.
struct Latin1Text {
    std::string text;
    std::size_t dropped = 0; // characters beyond ISO 8859-1, left out
};

// Bytes that are valid UTF-8 are read as UTF-8 (characters beyond U+00FF are dropped and
// counted); any other bytes are taken as ISO 8859-1 already.
Latin1Text latin1FromSample(std::string_view bytes);

} // namespace zelmak
