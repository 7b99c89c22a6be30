#pragma once

#include "analysis/symbols.h"
#include "options.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace zelmak::brk {

// Exit statuses, as zelmak-cli's, and one for a search that found nothing.
inline constexpr int kOk = 0;
inline constexpr int kFileFailure = 1;
inline constexpr int kUsageFailure = 2; // also a key setting that the setting check rejects
inline constexpr int kNothingFound = 4;
inline constexpr int kInterrupted = 130; // 128 + SIGINT, as a shell reports a program it stopped

extern const char* const kUsage;

enum class Command { Help, Crib, Start, Stats };

struct Options {
    Command command = Command::Help;
    std::vector<analysis::Symbol> crib;
    std::string cribText; // as given, for the messages
    int firstOffset = 0;
    int lastOffset = 0;
    std::optional<analysis::DiscOrder> order;
    std::optional<std::string> keyFile;
    bool complete = false;
    bool allOrders = false;
    bool json = false;
    bool quiet = false;
    std::size_t top = 10;
    unsigned threads = 0; // 0: one per core
    std::optional<std::string> outKey;
    std::optional<std::string> language;
    std::optional<std::string> input; // nothing: standard input
};

// A command line that cannot be run, with one line naming the problem: zelmak-cli's.
using UsageError = cli::UsageError;

// Reads the command line (without the program's name). Throws UsageError.
Options parseOptions(const std::vector<std::string>& args);

} // namespace zelmak::brk
