#include "report.h"

#include "analysis/disc_maps.h"
#include "machine/key_alphabet.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>

namespace zelmak::brk {

using namespace analysis;

namespace {

// The disc maps of each order the candidates use, built once (each is about a megabyte).
class MapsByOrder {
public:
    const DiscMaps& of(const DiscOrder& order) {
        auto& maps = built_[order];
        if (!maps)
            maps = std::make_unique<DiscMaps>(order);
        return *maps;
    }

private:
    std::map<DiscOrder, std::unique_ptr<DiscMaps>> built_;
};

std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string symbolName(std::size_t k) {
    return std::string(1, keySymbol(static_cast<int>(k) + 1));
}

// The index of coincidence of text in the model's language: the chance that two of its symbols
// drawn at random are alike.
double languageCoincidence(const LanguageModel& m) {
    double sum = 0;
    for (const double f : m.frequencies())
        sum += f * f;
    return sum;
}

} // namespace

std::string candidateLines(const std::vector<Symbol>& message,
                           const std::vector<Candidate>& candidates) {
    MapsByOrder maps;
    std::string lines;
    for (const Candidate& c : candidates)
        lines += std::to_string(c.offset) + ' ' + orderText(c.order) + ' ' +
                 positionsText(c.start) + ' ' + cardText(c.card) + ' ' +
                 decipherText(message, maps.of(c.order), c) + '\n';
    return lines;
}

std::string candidatesJson(const std::vector<Symbol>& message, const SearchResult& result) {
    MapsByOrder maps;
    nlohmann::ordered_json json;
    json["candidates"] = nlohmann::ordered_json::array();
    for (const Candidate& c : result.candidates) {
        nlohmann::ordered_json one;
        one["offset"] = c.offset;
        one["order"] = orderText(c.order);
        one["start"] = positionsText(c.start);
        one["card"] = cardText(c.card);
        one["text"] = decipherText(message, maps.of(c.order), c);
        one["fixed"] = c.fixed();
        one["score"] = c.score;
        json["candidates"].push_back(std::move(one));
    }
    json["hypotheses"] = result.hypotheses;
    json["seconds"] = result.seconds;
    return json.dump() + '\n';
}

std::string statisticsText(const TextStatistics& s, const LanguageModel& m) {
    std::string text = "symbols: " + std::to_string(s.total) + '\n';
    text += "index of coincidence: " + fixed(s.indexOfCoincidence, 4) + " (language " +
            fixed(languageCoincidence(m), 4) + ", random text " + fixed(1.0 / kSymbolCount, 4) +
            ")\n";
    text += "language score: " +
            (s.score == LanguageModel::kNoScore ? std::string("none") : fixed(s.score, 3)) +
            " (language " + fixed(m.sampleMean(), 3) + ", random text " + fixed(m.randomMean(), 3) +
            ")\n";
    text += "counts:";
    for (std::size_t k = 0; k < s.counts.size(); ++k)
        text += ' ' + symbolName(k) + '=' + std::to_string(s.counts[k]);
    return text + '\n';
}

std::string statisticsJson(const TextStatistics& s) {
    nlohmann::ordered_json json;
    json["symbols"] = s.total;
    json["index_of_coincidence"] = s.indexOfCoincidence;
    json["score"] = s.score;
    nlohmann::ordered_json counts;
    for (std::size_t k = 0; k < s.counts.size(); ++k)
        counts[symbolName(k)] = s.counts[k];
    json["counts"] = counts;
    return json.dump() + '\n';
}

namespace {

template <typename T> void put(std::string& bytes, const T& value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <typename T> void take(const std::string& bytes, std::size_t& at, T& value) {
    if (bytes.size() - at < sizeof value)
        throw std::runtime_error("a rank sent a result cut short");
    std::memcpy(&value, bytes.data() + at, sizeof value);
    at += sizeof value;
}

} // namespace

std::string packed(const SearchResult& result) {
    std::string bytes;
    put(bytes, result.hypotheses);
    put(bytes, result.seconds);
    put(bytes, static_cast<std::uint8_t>(result.stopped));
    put(bytes, static_cast<std::uint64_t>(result.candidates.size()));
    for (const Candidate& c : result.candidates) {
        put(bytes, c.offset);
        put(bytes, c.order);
        put(bytes, c.start);
        put(bytes, c.card);
        put(bytes, c.score);
    }
    return bytes;
}

SearchResult unpacked(const std::string& bytes) {
    SearchResult result;
    std::size_t at = 0;
    std::uint8_t stopped = 0;
    std::uint64_t count = 0;
    take(bytes, at, result.hypotheses);
    take(bytes, at, result.seconds);
    take(bytes, at, stopped);
    take(bytes, at, count);
    result.stopped = stopped != 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        Candidate c;
        take(bytes, at, c.offset);
        take(bytes, at, c.order);
        take(bytes, at, c.start);
        take(bytes, at, c.card);
        take(bytes, at, c.score);
        result.candidates.push_back(c);
    }
    if (at != bytes.size())
        throw std::runtime_error("a rank sent more than a result");
    return result;
}

} // namespace zelmak::brk
