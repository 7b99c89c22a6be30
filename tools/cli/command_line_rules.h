#pragma once

// The rules that the command-line programs read their arguments by, shared by zelmak-cli and
// zelmak-break.

#include "options.h"

#include <CLI/CLI.hpp>

#include <initializer_list>
#include <string>
#include <vector>

namespace zelmak::cli {

// CLI11 reads "--json=0" as the flag turned off. A flag takes no value here, so that nothing turns
// an option off unseen. Throws UsageError.
void refuseFlagValues(const std::vector<std::string>& args,
                      std::initializer_list<const char*> flags);

// What CLI11 left over: an option it does not know ("<unknown> --x"), or a second INPUT. Throws
// UsageError.
void refuseLeftOvers(const std::vector<std::string>& args, const std::vector<std::string>& rest,
                     const std::string& unknown);

// Parses the arguments (without the program's name); true when --help was asked for. A problem is
// one UsageError line: "--key needs a value (FILE)" rather than CLI11's own words.
bool parseArguments(CLI::App& app, const std::vector<std::string>& args);

} // namespace zelmak::cli
