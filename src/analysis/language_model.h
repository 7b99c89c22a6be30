#pragma once

// A language model over the machine's 31 symbols (the word space is "Y", index 27): trigram
// log-probabilities learnt from a sample text converted as the converter converts a letter. The
// default one is learnt from a German corpus when the program is built.

#include "symbols.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace zelmak::analysis {

class LanguageModel {
public:
    static constexpr std::size_t kStride = 32; // rows of 32, so an index is a shift and an add

    // Learns from a sample (UTF-8 when valid UTF-8, else ISO 8859-1). Throws InputError when the
    // sample holds too little text to learn from.
    static LanguageModel fromSample(std::string_view sample);
    // The German model built into the program.
    static LanguageModel german();

    // ln P(c | a b).
    float logProb(Symbol a, Symbol b, Symbol c) const {
        return trigram_[(static_cast<std::size_t>(a) * kStride + b) * kStride + c];
    }
    const float* trigrams() const { return trigram_.data(); }

    // The mean of ln P over the trigrams of a text whose three symbols are known (kNoSymbol marks
    // an unknown one); kNoScore when there is none.
    double score(const std::vector<Symbol>& text) const;
    static constexpr double kNoScore = -99.0;

    // The share of each symbol in the sample.
    const std::array<double, kSymbolCount>& frequencies() const { return frequency_; }
    // The mean ln P a symbol of the sample scores, and one of uniformly random text.
    double sampleMean() const { return sampleMean_; }
    double randomMean() const { return randomMean_; }

private:
    // counts[(a * 31 + b) * 31 + c]: how often c followed a b in the sample.
    static LanguageModel fromCounts(const std::uint32_t* counts);

    std::vector<float> trigram_ = std::vector<float>(kStride * kStride * kStride, 0.0f);
    std::array<double, kSymbolCount> frequency_{};
    double sampleMean_ = 0;
    double randomMean_ = 0;
};

struct TextStatistics {
    std::array<std::uint64_t, kSymbolCount> counts{};
    std::uint64_t total = 0;
    double indexOfCoincidence = 0; // sum n(n-1) / (N(N-1)); 1/31 for uniform text
    double score = LanguageModel::kNoScore;
};
TextStatistics statisticsOf(const std::vector<Symbol>& text, const LanguageModel& model);

} // namespace zelmak::analysis
