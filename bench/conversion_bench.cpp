// The converter's work without its window, on the largest letter it opens (16 MiB): reading the
// file's bytes into the panes' form, and the conversion itself. bytes_per_second is of the input.

#include "files/text_conversion.h"
#include "letter_text.h"

#include <benchmark/benchmark.h>

#include "bench_support.h"
#include <random>

#include <string>

namespace {

constexpr std::size_t kSize = std::size_t{16} << 20;

void BM_ConvertRunOfW(benchmark::State& state) {
    const std::string text(kSize, 'W');
    for (auto _ : state)
        benchmark::DoNotOptimize(zelmak::convertForMachine(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_ConvertRunOfW)->Unit(benchmark::kMillisecond);

void BM_ConvertLetter(benchmark::State& state) {
    const std::string text = zelmak::bench::germanLetter(kSize, 70, false);
    for (auto _ : state)
        benchmark::DoNotOptimize(zelmak::convertForMachine(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ConvertLetter)->Unit(benchmark::kMillisecond);

// The check for UTF-8 and the decoding into the panes' form; a Latin-1 file is checked only.
void BM_ReadLetter(benchmark::State& state) {
    const std::string bytes = zelmak::bench::germanLetter(kSize, 70, state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(zelmak::readLetter(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ReadLetter)->ArgName("utf8")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
