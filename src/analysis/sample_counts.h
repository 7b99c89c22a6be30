#pragma once

// The trigram counts of a sample text, converted as the converter converts a letter. The default
// language model is made from them when the program is built, and a user's sample the same way.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace zelmak::analysis {

inline constexpr std::size_t kTrigramCount = 31 * 31 * 31;

constexpr std::size_t trigramIndex(std::size_t a, std::size_t b, std::size_t c) {
    return (a * 31 + b) * 31 + c;
}

struct SampleCounts {
    std::vector<std::uint32_t> trigrams = std::vector<std::uint32_t>(kTrigramCount, 0);
    std::size_t symbols = 0; // after conversion, the word spaces included
    std::size_t dropped = 0; // characters the machine has no symbol for
};

// Reads the sample as UTF-8 when it is valid UTF-8, else as ISO 8859-1; a space becomes the
// word space.
SampleCounts countSample(std::string_view sample);

} // namespace zelmak::analysis
