#include "cli_test_util.h"
#include "self_test.h"

#include <gtest/gtest.h>

#include <string>

namespace zelmak {
namespace {

// One line per case, naming where its answer comes from, and a summary.
TEST(SelfTest, EveryKnownAnswerPasses) {
    const test::ProcessResult r = test::cli({"--self-test"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.err, "");
    const auto& cases = cli::knownAnswers();
    ASSERT_EQ(cases.size(), 9u);
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = r.out.find('\n', at)) != std::string::npos; ++at)
        ++lines;
    EXPECT_EQ(lines, cases.size() + 1);
    for (const auto& c : cases)
        EXPECT_NE(r.out.find("pass  " + c.name + ": "), std::string::npos) << c.name;
    EXPECT_NE(r.out.find("pass  service setting, HALLO ALLE ciphered: 5M5QHAI6Y4, ending at "
                         "C8SPA (design worked example)\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("pass  reversed card, discs 5 4 3 2 1, check value: RTD4T "
                         "(independent computation)\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.substr(r.out.rfind('\n', r.out.size() - 2) + 1), "9 of 9 known answers pass\n");
}

// A machine that gives another answer, or ends elsewhere, fails its case and the whole test.
TEST(SelfTest, AWrongAnswerFails) {
    auto cases = cli::knownAnswers();
    cases[0].output = "5M5QHAI6Y5";
    cases[4].output = "RTD4X";
    cases[7].end = "HT3LN";
    std::string report;
    EXPECT_FALSE(cli::selfTest(cases, report));
    EXPECT_NE(report.find("FAIL  service setting, HALLO ALLE ciphered: 5M5QHAI6Y5, ending at "
                          "C8SPA (design worked example); came out 5M5QHAI6Y4, ending at C8SPA\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("FAIL  reversed card, discs 5 4 3 2 1, check value: RTD4X (independent "
                          "computation); came out RTD4T at AAAAA\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("200 keys I ciphered: ending at HT3LN (independent computation); came "
                          "out ending at HT3LM\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("\n6 of 9 known answers pass; the machine is WRONG\n"), std::string::npos)
        << report;
}

} // namespace
} // namespace zelmak
