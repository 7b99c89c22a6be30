// The enabled states against the design's list of the controls whose state changes at run time,
// after each kind of handler.

#include "session_steps.h"

#include <gtest/gtest.h>

#include <functional>

namespace zelmak::test {
namespace {

// Which of the controls are enabled, in the order of Control, as a string of 0 and 1:
// space bar, Y, Save CipherCode, Save Cipher, Check Cipher, Loade CipherCode, Automatic, input
// pane, output pane, undo, redo.
std::string states(const FakeView& view) {
    std::string s;
    for (const bool on : view.enabledStates)
        s += on ? '1' : '0';
    return s;
}

struct EnabledRow {
    const char* name;
    std::function<void(SessionRig&)> steps;
    const char* expected;
};

const EnabledRow kRows[] = {
    {"at_creation", [](SessionRig&) {}, "10000000000"},
    {"service_setting_accepted", [](SessionRig& r) { r.session.serviceCipher(); }, "10111111100"},
    {"a_key_can_be_taken_back",
     [](SessionRig& r) {
         r.session.serviceCipher();
         r.type("H");
     },
     "10111111110"},
    {"decipher_swaps_the_keys_of_index_27",
     [](SessionRig& r) {
         r.session.serviceCipher();
         r.session.selectDecipher();
     },
     "01111111100"},
    {"random_withdraws_acceptance_and_the_text_files",
     [](SessionRig& r) {
         r.session.serviceCipher();
         drawSetting(r, recordOf(serviceRecordBytes()));
     },
     "10001001100"},
    {"the_check_after_random_gives_everything_back",
     [](SessionRig& r) {
         r.session.serviceCipher();
         drawSetting(r, recordOf(serviceRecordBytes()));
         r.session.checkCipher();
     },
     "10111111100"},
    {"card_rejected",
     [](SessionRig& r) {
         r.session.serviceCipher();
         r.session.pickCard(1, 2);
     },
     "10001000000"},
    {"discs_rejected",
     [](SessionRig& r) {
         r.session.serviceCipher();
         r.session.pickDisc(1, 1);
     },
     "10001000000"},
};

class EnabledStatesAfter : public ::testing::TestWithParam<EnabledRow> {};

TEST_P(EnabledStatesAfter, follow_the_design) {
    SessionRig rig(false);
    GetParam().steps(rig);
    EXPECT_EQ(states(rig.view), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Steps, EnabledStatesAfter, ::testing::ValuesIn(kRows),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace zelmak::test
