#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelmak::cli {

// Exit statuses.
inline constexpr int kOk = 0;
inline constexpr int kFileFailure = 1;
inline constexpr int kUsageFailure = 2; // also a key setting that the setting check rejects
inline constexpr int kSelfTestFailed = 3;

extern const char* const kUsage;

enum class Task { Run, Help, NewKey, CheckValue, SelfTest, KeySheet };

struct Options {
    Task task = Task::Run;
    bool decipher = false;
    bool report = false;
    bool json = false;
    bool ignoreBlanks = false;
    std::optional<std::string> keyFile;
    std::optional<std::string> input;             // nothing: standard input
    std::optional<std::string> trace;             // "-": standard output, in place of the text
    std::array<int, 5> start{17, 17, 17, 17, 17}; // positions of slots 1..5 (17 shows "A")
    int group = 0;                                // symbols per group; 0: no groups
    int groupsPerLine = 10;
    std::string newKeyFile;
    int sheetYear = 0;
    int sheetMonth = 0;
    std::string outDir;
};

// A command line that cannot be run, with one line naming the problem.
struct UsageError {
    std::string message;
};

// Reads the command line (without the program's name). Throws UsageError.
Options parseOptions(const std::vector<std::string>& args);

// The characters of a text given as UTF-8: each a whole sequence, or one byte that belongs to
// none.
std::vector<std::string_view> characters(std::string_view text);

// A text as a message may show it: every character whole; control characters and bytes that
// are no UTF-8 as \xNN, so that a message stays one line of readable text.
std::string shown(std::string_view text);

} // namespace zelmak::cli
