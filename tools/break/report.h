#pragma once

// What zelmak-break writes: the settings found as lines or JSON, the statistics of a message,
// and a search's result as bytes for the rank that writes it.

#include "analysis/candidates.h"
#include "analysis/language_model.h"

#include <string>
#include <vector>

namespace zelmak::brk {

// One line a candidate: offset, disc order, start positions, card, the message it reveals.
std::string candidateLines(const std::vector<analysis::Symbol>& message,
                           const std::vector<analysis::Candidate>& candidates);
std::string candidatesJson(const std::vector<analysis::Symbol>& message,
                           const analysis::SearchResult& result);

std::string statisticsText(const analysis::TextStatistics& s, const analysis::LanguageModel& m);
std::string statisticsJson(const analysis::TextStatistics& s);

// A search's result, byte for byte (scores too), for gathering from the ranks of an MPI run.
std::string packed(const analysis::SearchResult& result);
// Throws std::runtime_error for bytes that packed() did not make.
analysis::SearchResult unpacked(const std::string& bytes);

} // namespace zelmak::brk
