#include "controls.h"

namespace zelmak {

namespace {

struct EnabledRule {
    Control control;
    bool (*when)(const SessionFacts&);
};

// When each control is enabled. The setting check enables what an accepted setting allows and
// disables it at its start; "Random Cipher" and "Load Cipher" withdraw the acceptance (and the
// random draw also the text-file buttons, until the next check); the service setting, the random
// draw and a loaded key file offer their setting to "Check Cipher"; the mode buttons swap the
// two keys of index 27.
constexpr EnabledRule kRules[] = {
    {Control::SpaceBar, [](const SessionFacts& f) { return f.mode == Mode::Cipher; }},
    {Control::YKey, [](const SessionFacts& f) { return f.mode == Mode::Decipher; }},
    {Control::SaveCipherCode,
     [](const SessionFacts& f) { return f.checkAccepted && !f.drawnSinceCheck; }},
    {Control::SaveCipher, [](const SessionFacts& f) { return f.accepted; }},
    {Control::CheckCipher, [](const SessionFacts& f) { return f.settingOffered; }},
    {Control::LoadCipherCode,
     [](const SessionFacts& f) { return f.checkAccepted && !f.drawnSinceCheck; }},
    {Control::Automatic, [](const SessionFacts& f) { return f.accepted; }},
    {Control::InputPane, [](const SessionFacts& f) { return f.checkAccepted; }},
    {Control::OutputPane, [](const SessionFacts& f) { return f.checkAccepted; }},
    {Control::UndoKey, [](const SessionFacts& f) { return f.canUndo; }},
    {Control::RedoKey, [](const SessionFacts& f) { return f.canRedo; }},
};
static_assert(std::size(kRules) == kControlCount);

constexpr bool inOrder() {
    for (std::size_t i = 0; i < kControlCount; ++i)
        if (static_cast<std::size_t>(kRules[i].control) != i)
            return false;
    return true;
}
static_assert(inOrder(), "one rule per control, in the order of Control");

} // namespace

EnabledStates enabledStates(const SessionFacts& facts) {
    EnabledStates states{};
    for (const EnabledRule& rule : kRules)
        states[static_cast<std::size_t>(rule.control)] = rule.when(facts);
    return states;
}

} // namespace zelmak
