#include "machine/checked.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <string>

namespace zelmak {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

enum class Outcome { Value, Range, Overflow };

struct CheckRow {
    const char* name;
    std::function<std::int32_t()> op;
    Outcome outcome;
    std::int32_t value = 0;
};

void PrintTo(const CheckRow& row, std::ostream* os) {
    *os << row.name;
}

class CheckedOp : public ::testing::TestWithParam<CheckRow> {};

TEST_P(CheckedOp, GivesValueOrTheSystemsError) {
    const CheckRow& row = GetParam();
    switch (row.outcome) {
    case Outcome::Value:
        EXPECT_EQ(row.op(), row.value);
        break;
    case Outcome::Range:
        try {
            row.op();
            FAIL() << "no error";
        } catch (const RangeError& e) {
            EXPECT_EQ(std::string(e.what()), "Bereichsüberschreitung");
        }
        break;
    case Outcome::Overflow:
        try {
            row.op();
            FAIL() << "no error";
        } catch (const OverflowError& e) {
            EXPECT_EQ(std::string(e.what()), "Integer-Überlauf");
        }
        break;
    }
}

Table<Byte, 1, 31> table31() {
    Table<Byte, 1, 31> t;
    for (int i = 1; i <= 31; ++i)
        t[i] = static_cast<Byte>(i * 2);
    return t;
}

Table2<Byte, 1, 6, 1, 31> table6x31() {
    Table2<Byte, 1, 6, 1, 31> t;
    for (int r = 1; r <= 6; ++r)
        for (int c = 1; c <= 31; ++c)
            t(r, c) = static_cast<Byte>(r * 40 + c);
    return t;
}

INSTANTIATE_TEST_SUITE_P(
    Arithmetic, CheckedOp,
    ::testing::Values(
        CheckRow{"add_at_max", [] { return checked::add(kMax - 1, 1); }, Outcome::Value, kMax},
        CheckRow{"add_past_max", [] { return checked::add(kMax, 1); }, Outcome::Overflow},
        CheckRow{"add_past_min", [] { return checked::add(kMin, -1); }, Outcome::Overflow},
        CheckRow{"add_negatives", [] { return checked::add(-30, -1); }, Outcome::Value, -31},
        CheckRow{"sub_at_min", [] { return checked::sub(kMin + 1, 1); }, Outcome::Value, kMin},
        CheckRow{"sub_past_min", [] { return checked::sub(kMin, 1); }, Outcome::Overflow},
        CheckRow{"sub_past_max", [] { return checked::sub(kMax, -1); }, Outcome::Overflow},
        CheckRow{"sub_zero_minus_min", [] { return checked::sub(0, kMin); }, Outcome::Overflow}),
    [](const auto& p) { return std::string(p.param.name); });

INSTANTIATE_TEST_SUITE_P(
    ByteStores, CheckedOp,
    ::testing::Values(
        CheckRow{"zero", [] { return std::int32_t{checked::byte(0)}; }, Outcome::Value, 0},
        CheckRow{"255", [] { return std::int32_t{checked::byte(255)}; }, Outcome::Value, 255},
        CheckRow{"256", [] { return std::int32_t{checked::byte(256)}; }, Outcome::Range},
        CheckRow{"minus_one", [] { return std::int32_t{checked::byte(-1)}; }, Outcome::Range},
        CheckRow{"int_min", [] { return std::int32_t{checked::byte(kMin)}; }, Outcome::Range}),
    [](const auto& p) { return std::string(p.param.name); });

INSTANTIATE_TEST_SUITE_P(
    TableIndexes, CheckedOp,
    ::testing::Values(
        CheckRow{"first", [] { return std::int32_t{table31()[1]}; }, Outcome::Value, 2},
        CheckRow{"last", [] { return std::int32_t{table31()[31]}; }, Outcome::Value, 62},
        CheckRow{"below", [] { return std::int32_t{table31()[0]}; }, Outcome::Range},
        CheckRow{"above", [] { return std::int32_t{table31()[32]}; }, Outcome::Range},
        CheckRow{"row_col_corner", [] { return std::int32_t{table6x31()(6, 31)}; }, Outcome::Value,
                 271 % 256},
        CheckRow{"row_below", [] { return std::int32_t{table6x31()(0, 1)}; }, Outcome::Range},
        CheckRow{"row_above", [] { return std::int32_t{table6x31()(7, 1)}; }, Outcome::Range},
        CheckRow{"col_below", [] { return std::int32_t{table6x31()(1, 0)}; }, Outcome::Range},
        CheckRow{"col_above", [] { return std::int32_t{table6x31()(1, 32)}; }, Outcome::Range},
        // A column just past the end of one row must not reach into the next row.
        CheckRow{"col_into_next_row", [] { return std::int32_t{table6x31()(2, 32)}; },
                 Outcome::Range}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(CheckedTable, FailedStoreLeavesTheTableAsItWas) {
    Table<Byte, 1, 5> t;
    t[3] = 7;
    const auto before = t;
    EXPECT_THROW(t[6] = 1, RangeError);
    EXPECT_THROW(t[0] = 1, RangeError);
    EXPECT_EQ(t, before);
}

} // namespace
} // namespace zelmak
