#include "sample_counts.h"

#include "files/sample_text.h"
#include "files/text_conversion.h"
#include "machine/key_alphabet.h"

#include <limits>
#include <optional>

namespace zelmak::analysis {

SampleCounts countSample(std::string_view sample) {
    const Latin1Text latin1 = latin1FromSample(sample);
    const ConvertedText converted = convertForMachine(latin1.text);
    SampleCounts counts;
    counts.dropped = latin1.dropped + converted.dropped;
    counts.symbols = converted.text.size();
    std::size_t a = 0;
    std::size_t b = 0;
    std::size_t seen = 0;
    for (const char ch : converted.text) {
        const std::optional<int> index = ch == ' ' ? kWordSpaceIndex : symbolIndex(ch);
        if (!index)
            continue; // the converter keeps key symbols only
        const auto c = static_cast<std::size_t>(*index - 1);
        if (seen >= 2) {
            std::uint32_t& n = counts.trigrams[trigramIndex(a, b, c)];
            if (n != std::numeric_limits<std::uint32_t>::max())
                ++n;
        }
        ++seen;
        a = b;
        b = c;
    }
    return counts;
}

} // namespace zelmak::analysis
