#include "files/sample_text.h"

#include <gtest/gtest.h>

#include <string>

namespace zelmak {
namespace {

struct SampleRow {
    const char* name;
    std::string bytes;
    std::string latin1;
    std::size_t dropped;
};

void PrintTo(const SampleRow& row, std::ostream* os) {
    *os << row.name;
}

class SampleText : public ::testing::TestWithParam<SampleRow> {};

TEST_P(SampleText, ReadsUtf8WhenValidElseLatin1) {
    const SampleRow& row = GetParam();
    const Latin1Text result = latin1FromSample(row.bytes);
    EXPECT_EQ(result.text, row.latin1);
    EXPECT_EQ(result.dropped, row.dropped);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SampleText,
    ::testing::Values(SampleRow{"ascii", "Guten Tag", "Guten Tag", 0},
                      SampleRow{"utf8_umlauts", "Gr\xc3\xbc\xc3\x9f\x65 \xc3\x84rger",
                                "Gr\xfc\xdf"
                                "e \xc4rger",
                                0},
                      SampleRow{"utf8_beyond_latin1_dropped",
                                "5 \xe2\x82\xac und \xf0\x9f\x98\x80!", "5  und !", 2},
                      SampleRow{"latin1_stays",
                                "Gr\xfc\xdf"
                                "e",
                                "Gr\xfc\xdf"
                                "e",
                                0},
                      SampleRow{"overlong_is_not_utf8", "a\xc0\xaf", "a\xc0\xaf", 0},
                      SampleRow{"surrogate_is_not_utf8", "\xed\xa0\x80", "\xed\xa0\x80", 0},
                      SampleRow{"cut_sequence_is_not_utf8", "ab\xc3", "ab\xc3", 0}),
    [](const ::testing::TestParamInfo<SampleRow>& row) { return row.param.name; });

} // namespace
} // namespace zelmak
