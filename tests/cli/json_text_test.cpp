// The JSON strings of --json, escaped in long runs, are byte for byte what nlohmann::json writes.

#include "json_text.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>

namespace zelmak::cli {
namespace {

std::string escaped(std::string_view text) {
    std::string out;
    PiecedText pieced;
    pieced.append(text);
    pieced.writeJson([&](std::string_view bytes) { out += bytes; });
    return out;
}

// Every ASCII byte, alone and inside runs long enough for the eight-at-a-time scan, at every
// place within the eight.
TEST(JsonText, EveryAsciiByteAsNlohmannWritesIt) {
    for (int b = 0; b < 0x80; ++b) {
        const char c = static_cast<char>(b);
        for (std::size_t before = 0; before < 10; ++before) {
            const std::string text = std::string(before, 'Q') + c + std::string(17, '7');
            EXPECT_EQ(escaped(text), nlohmann::json(text).dump())
                << "byte " << b << " at " << before;
        }
    }
}

// Long texts go in pieces that fill several blocks; the pieces join into one string.
TEST(JsonText, PiecesAcrossBlocksJoinIntoOneString) {
    std::string whole;
    PiecedText pieced;
    for (int i = 0; whole.size() < (std::size_t{9} << 20); ++i) {
        const std::string piece = std::string(static_cast<std::size_t>(i % 7919) + 1, 'K') +
                                  (i % 3 == 0 ? "\r\n" : "\"\\_");
        whole += piece;
        pieced.append(piece);
    }
    pieced.append("");
    std::string out;
    pieced.writeJson([&](std::string_view bytes) { out += bytes; });
    EXPECT_TRUE(out == nlohmann::json(whole).dump()) << "the long text differs";
    EXPECT_EQ(escaped(""), "\"\"");
}

} // namespace
} // namespace zelmak::cli
