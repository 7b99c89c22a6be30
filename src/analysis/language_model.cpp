#include "language_model.h"

#include "sample_counts.h"

#include <cmath>

namespace zelmak::analysis {

extern const std::uint32_t kGermanTrigramCounts[kTrigramCount];

namespace {

// Fewer symbols than this teach nothing worth scoring with.
constexpr std::size_t kLeastSample = 1000;

// Witten-Bell interpolation down to add-one unigrams: a trigram never seen still gets the
// probability its last two symbols (or its last one) deserve, never minus infinity.
class Learner {
public:
    explicit Learner(const std::uint32_t* counts) : counts_(counts) {
        for (std::size_t a = 0; a < kSymbolCount; ++a)
            for (std::size_t b = 0; b < kSymbolCount; ++b)
                for (std::size_t c = 0; c < kSymbolCount; ++c) {
                    const double n = counts[trigramIndex(a, b, c)];
                    pair_[b][c] += n;
                    single_[c] += n;
                    total_ += n;
                }
    }

    double total() const { return total_; }
    double share(std::size_t c) const { return total_ > 0 ? single_[c] / total_ : 0.0; }

    double unigram(std::size_t c) const { return (single_[c] + 1.0) / (total_ + kSymbolCount); }

    double bigram(std::size_t b, std::size_t c) const {
        double seen = 0;
        double kinds = 0;
        for (std::size_t x = 0; x < kSymbolCount; ++x) {
            seen += pair_[b][x];
            kinds += pair_[b][x] > 0 ? 1 : 0;
        }
        if (seen == 0)
            return unigram(c);
        return (pair_[b][c] + kinds * unigram(c)) / (seen + kinds);
    }

    double trigram(std::size_t a, std::size_t b, std::size_t c) const {
        double seen = 0;
        double kinds = 0;
        for (std::size_t x = 0; x < kSymbolCount; ++x) {
            const double n = counts_[trigramIndex(a, b, x)];
            seen += n;
            kinds += n > 0 ? 1 : 0;
        }
        if (seen == 0)
            return bigram(b, c);
        return (counts_[trigramIndex(a, b, c)] + kinds * bigram(b, c)) / (seen + kinds);
    }

private:
    const std::uint32_t* counts_;
    double pair_[kSymbolCount][kSymbolCount] = {};
    double single_[kSymbolCount] = {};
    double total_ = 0;
};

} // namespace

LanguageModel LanguageModel::fromCounts(const std::uint32_t* counts) {
    const Learner learner(counts);
    LanguageModel model;
    double sampleSum = 0;
    double randomSum = 0;
    for (std::size_t a = 0; a < kSymbolCount; ++a)
        for (std::size_t b = 0; b < kSymbolCount; ++b)
            for (std::size_t c = 0; c < kSymbolCount; ++c) {
                const double lnP = std::log(learner.trigram(a, b, c));
                model.trigram_[(a * kStride + b) * kStride + c] = static_cast<float>(lnP);
                sampleSum += counts[trigramIndex(a, b, c)] * lnP;
                randomSum += lnP;
            }
    for (std::size_t c = 0; c < kSymbolCount; ++c)
        model.frequency_[c] = learner.share(c);
    model.sampleMean_ = learner.total() > 0 ? sampleSum / learner.total() : 0.0;
    model.randomMean_ = randomSum / static_cast<double>(kTrigramCount);
    return model;
}

LanguageModel LanguageModel::fromSample(std::string_view sample) {
    const SampleCounts counts = countSample(sample);
    if (counts.symbols < kLeastSample)
        throw InputError("the language sample holds " + std::to_string(counts.symbols) +
                         " symbols the machine can key, too few to learn from (at least " +
                         std::to_string(kLeastSample) + ")");
    return fromCounts(counts.trigrams.data());
}

LanguageModel LanguageModel::german() {
    return fromCounts(kGermanTrigramCounts);
}

double LanguageModel::score(const std::vector<Symbol>& text) const {
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t i = 2; i < text.size(); ++i) {
        const Symbol a = text[i - 2], b = text[i - 1], c = text[i];
        if (a >= kSymbolCount || b >= kSymbolCount || c >= kSymbolCount)
            continue;
        sum += logProb(a, b, c);
        ++n;
    }
    return n == 0 ? kNoScore : sum / static_cast<double>(n);
}

TextStatistics statisticsOf(const std::vector<Symbol>& text, const LanguageModel& model) {
    TextStatistics s;
    for (const Symbol x : text)
        if (x < kSymbolCount) {
            ++s.counts[x];
            ++s.total;
        }
    if (s.total >= 2) {
        double pairs = 0;
        for (const std::uint64_t n : s.counts)
            pairs += static_cast<double>(n) * (static_cast<double>(n) - 1.0);
        s.indexOfCoincidence =
            pairs / (static_cast<double>(s.total) * static_cast<double>(s.total - 1));
    }
    s.score = model.score(text);
    return s;
}

} // namespace zelmak::analysis
