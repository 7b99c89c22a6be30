// One key through the machine, as the window and the command-line program run it.
// items_per_second is keys per second.

#include "machine/key_alphabet.h"
#include "machine/machine.h"
#include "machine/text_feed.h"
#include "machine/trace.h"
#include "settings/settings.h"

#include "session_rig.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace zelmak;

// A fixed pseudo-random sequence of keys, long enough that the branch predictor cannot learn
// the path of the index through the discs (a short repeated sequence makes the step look
// twice as fast as it is on real text).
std::vector<int> makeKeys() {
    std::vector<int> keys(4096);
    std::uint32_t r = 20240531u;
    for (int& k : keys) {
        r = r * 1664525u + 1013904223u;
        k = static_cast<int>((r >> 16) % 31u) + 1;
    }
    return keys;
}

const std::vector<int> kKeys = makeKeys();

struct Machine {
    MachineState m = machineFor(serviceRecord());
};

// A key as the operator presses it, through the session: the gate, the texts, the undo history
// and both panes rewritten in the view. The texts are cleared every 64 keys ("Clear all
// Window"), so the figure is that of a short message rather than of an ever longer pane.
void BM_PressKey(benchmark::State& state) {
    test::SessionRig rig;
    std::size_t i = 0;
    for (auto _ : state) {
        rig.session.pressKey(keySymbol(kKeys[i % kKeys.size()]));
        if (++i % 64 == 0)
            rig.session.clearAll();
    }
    benchmark::DoNotOptimize(rig.machine().outputText.data());
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_PressKey);

// A key of automatic processing: the step and the output symbol, the panes shown at the end.
void BM_TextIO(benchmark::State& state) {
    Machine x;
    x.m.outputText.reserve(1 << 20);
    std::size_t i = 0;
    for (auto _ : state) {
        x.m.keyIndex = kKeys[i % kKeys.size()];
        TextIO(x.m);
        if (++i % (1 << 20) == 0)
            x.m.outputText.clear();
    }
    benchmark::DoNotOptimize(x.m.outputText.data());
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_TextIO);

// The cipher step alone.
void BM_Rotation(benchmark::State& state) {
    Machine x;
    std::size_t i = 0;
    for (auto _ : state) {
        x.m.keyIndex = kKeys[i++ % kKeys.size()];
        Rotation(x.m);
        benchmark::DoNotOptimize(x.m.workIndex);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_Rotation);

// The cipher step with every stage recorded, as the machine view and --trace run it.
void BM_TraceRotation(benchmark::State& state) {
    Machine x;
    std::size_t i = 0;
    for (auto _ : state) {
        x.m.keyIndex = kKeys[i++ % kKeys.size()];
        benchmark::DoNotOptimize(traceRotation(x.m));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_TraceRotation);

// Runs a text through the text feed again and again; items are the text's bytes.
void runFeed(benchmark::State& state, const std::string& text) {
    Machine x;
    for (auto _ : state) {
        x.m.inputText.clear();
        x.m.outputText.clear();
        feedText(x.m, text);
        benchmark::DoNotOptimize(x.m.outputText.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}

// Keys through the machine as a run of "Automatic" or zelmak-cli makes them: 1 MiB of symbols,
// every byte a key; items are keys.
void BM_Keys(benchmark::State& state) {
    std::string text;
    for (std::size_t i = 0; text.size() < (1u << 20); ++i)
        text += keySymbol(kKeys[i % kKeys.size()]);
    runFeed(state, text);
}
BENCHMARK(BM_Keys)->Unit(benchmark::kMillisecond);

// The text feed over a 1 MiB text of mixed case, spaces and skipped bytes, as zelmak-cli and
// automatic processing run it; items are the text's bytes.
void BM_FeedText(benchmark::State& state) {
    constexpr std::string_view kChars = "Hallo Alle, die Zeit ist um.\r\nJa 0123456789 xyz";
    std::string text;
    std::uint32_t r = 1;
    while (text.size() < (1u << 20)) {
        r = r * 1103515245u + 12345u;
        text += kChars[(r >> 16) % kChars.size()];
    }
    runFeed(state, text);
}
BENCHMARK(BM_FeedText)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
