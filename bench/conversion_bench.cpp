// The converter's work without its window, on the largest letter it opens (16 MiB): reading the
// file's bytes into the panes' form, and the conversion itself. bytes_per_second is of the input.

#include "files/text_conversion.h"
#include "letter_text.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

constexpr std::size_t kSize = std::size_t{16} << 20;

// Words and blanks with a line break about every 70 bytes; in UTF-8 or in ISO 8859-1.
std::string letter(bool utf8) {
    static const char* const kLatin1[] = {"Der",
                                          "Schl\xfcssel",
                                          "wird",
                                          "t\xe4glich",
                                          "Stra\xdf"
                                          "e",
                                          "\xc4rger,",
                                          "\xfc"
                                          "ber",
                                          "1945",
                                          "Wien."};
    static const char* const kUtf8[] = {"Der",
                                        "Schl\xc3\xbcssel",
                                        "wird",
                                        "t\xc3\xa4glich",
                                        "Stra\xc3\x9f"
                                        "e",
                                        "\xc3\x84rger,",
                                        "\xe2\x80\x9e\xc3\xbc"
                                        "ber\xe2\x80\x9c",
                                        "1945",
                                        "Wien\xe2\x80\xa6"};
    std::mt19937 random(7);
    std::string out;
    std::size_t lineStart = 0;
    while (out.size() < kSize) {
        if (out.size() - lineStart >= 70) {
            out += "\n";
            lineStart = out.size();
        } else if (out.size() > lineStart) {
            out += ' ';
        }
        out += utf8 ? kUtf8[random() % std::size(kUtf8)] : kLatin1[random() % std::size(kLatin1)];
    }
    return out;
}

void BM_ConvertRunOfW(benchmark::State& state) {
    const std::string text(kSize, 'W');
    for (auto _ : state)
        benchmark::DoNotOptimize(zelmak::convertForMachine(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_ConvertRunOfW)->Unit(benchmark::kMillisecond);

void BM_ConvertLetter(benchmark::State& state) {
    const std::string text = letter(false);
    for (auto _ : state)
        benchmark::DoNotOptimize(zelmak::convertForMachine(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ConvertLetter)->Unit(benchmark::kMillisecond);

// The check for UTF-8 and the decoding into the panes' form; a Latin-1 file is checked only.
void BM_ReadLetter(benchmark::State& state) {
    const std::string bytes = letter(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(zelmak::readLetter(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ReadLetter)->ArgName("utf8")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
