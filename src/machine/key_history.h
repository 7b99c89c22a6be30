#pragma once

// The undo history of the keys: any number of keys (and whole runs of "Automatic") taken back
// and done again, within one history. A history starts empty whenever the setting or the texts
// start anew (a setting check, the service setting, a random or loaded setting, "Clear all
// Window"); the window says when, by clear().
//
// A key costs a few bytes here, never a copy of the texts: what it changed besides appending one
// symbol to each text (the positions, KeyLetter, KeyIndex and WorkIndex) before and after it, the
// mode it ran in, and the output symbol it appended. Undoing it drops the
// last symbol of both texts; redoing it appends them again and restores what the key left, so a
// redo gives exactly the key's own result even if the operator has since changed the mode or
// picked other positions. A run of "Automatic" starts new texts, so its step keeps the texts it
// replaced (moved, not copied) and swaps them back and forth.
//
// The history also knows where the texts stood after its last step. If anything else has
// changed their length since, the history no longer fits the machine: it can take nothing back,
// and the next key starts it anew.
//
// What the history holds is bounded: when its steps and the texts kept for runs outgrow the
// budget, the oldest steps are dropped (down to three quarters of it, so that this happens
// rarely). A run whose replaced texts alone outgrow it cannot be taken back.

#include "machine_state.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelmak {

// A key that can be traced again: where the discs stood before it, what it keyed, in which mode.
struct KeyAt {
    std::size_t number = 0; // place of its symbol in InputText, from 1
    char letter = 0;        // the symbol it entered into InputText
    int keyIndex = 0;
    Mode mode = Mode::Cipher;
    Positions before;
};

class KeyHistory {
public:
    // Room for about a million keys and a few runs of 16 MiB texts.
    static constexpr std::size_t kDefaultBudget = std::size_t{128} << 20;

    explicit KeyHistory(std::size_t budgetBytes = kDefaultBudget) : m_budget(budgetBytes) {}

    // A key of the keyboard, as pressKey runs it (nothing at all unless the setting is
    // accepted), recorded as one step. A key that fails in the cipher step ends the history.
    void pressKey(MachineState& m, int keyIndex, char keyLetter);
    // "Automatic", as runAutomatic runs it, recorded as one step; a failed run ends the history.
    void runAutomatic(MachineState& m, std::string_view text);

    // Takes back the last step, or does the step last taken back again. False (and nothing
    // changed) when there is nothing to take back or do again.
    bool undo(MachineState& m);
    bool redo(MachineState& m);

    std::size_t undoDepth(const MachineState& m) const { return fits(m) ? m_cursor : 0; }
    std::size_t redoDepth(const MachineState& m) const {
        return fits(m) ? m_steps.size() - m_cursor : 0;
    }
    bool canUndo(const MachineState& m) const { return undoDepth(m) > 0; }
    bool canRedo(const MachineState& m) const { return redoDepth(m) > 0; }

    // A new, empty history.
    void clear();

    // The bytes the history holds: its steps and the texts it keeps for runs.
    std::size_t heldBytes() const { return m_steps.size() * sizeof(Step) + m_runBytes; }

    // What the step that undo() would take back (or redo() would do again) is: a key, with the
    // symbol it entered, or a run of "Automatic"; nothing when there is none.
    struct StepKind {
        bool run = false;
        char letter = 0;
    };
    std::optional<StepKind> nextUndo(const MachineState& m) const;
    std::optional<StepKind> nextRedo(const MachineState& m) const;

    // Up to `count` of the keys behind the history's current point, the last key last: each key
    // typed, and the keys of a run of "Automatic" (which starts new texts, so nothing before it
    // is listed).
    std::vector<KeyAt> lastKeys(const MachineState& m, std::size_t count) const;

private:
    // What a step changes besides the texts.
    struct Vars {
        std::array<std::int8_t, kSlotCount> positions{};
        char keyLetter = 0; // 0: none yet
        std::int32_t keyIndex = 0;
        std::int32_t workIndex = 0;
    };
    struct Step {
        Vars before;
        Vars after;
        char output = 0; // the symbol a key appended to OutputText
        bool run = false;
        Mode mode = Mode::Cipher; // the mode the step ran in
    };
    static_assert(sizeof(Step) <= 36, "a key costs the history a few bytes");
    // The texts a run of "Automatic" did not leave in the machine: those it replaced while the
    // run is done, the run's own while it is taken back.
    struct RunTexts {
        std::size_t step = 0;
        std::string input;
        std::string output;
    };

    static Vars capture(const MachineState& m);
    static void restore(MachineState& m, const Vars& v);
    bool fits(const MachineState& m) const {
        return m.inputText.size() == m_inputLength && m.outputText.size() == m_outputLength;
    }
    void push(const MachineState& m, const Step& step);
    void keepWithinBudget();
    static std::size_t bytesOf(const RunTexts& r) {
        return r.input.capacity() + r.output.capacity();
    }
    RunTexts& runOf(std::size_t step);
    void swapRunTexts(MachineState& m, std::size_t step);
    void settle(MachineState& m, const Vars& v, std::size_t cursor);

    std::vector<Step> m_steps;
    std::vector<RunTexts> m_runs;
    std::size_t m_budget;
    std::size_t m_runBytes = 0; // the texts held in m_runs
    std::size_t m_cursor = 0;   // steps before it are done, steps from it on were taken back
    std::size_t m_inputLength = 0;
    std::size_t m_outputLength = 0;
};

// The positions one key earlier: the stepping run backwards. Every stepping test looks at a
// position after its own step, so the positions after a key tell which slots stepped.
Positions stepBack(const MachineSetting& setting, const Positions& after);

} // namespace zelmak
