#include "key_history.h"

#include "key_alphabet.h"
#include "machine.h"
#include "step_rules.h"
#include "text_feed.h"

#include <algorithm>
#include <utility>

namespace zelmak {

namespace {

bool inRange(const Positions& p) {
    return std::all_of(p.raw().begin(), p.raw().end(),
                       [](std::int32_t v) { return v >= 0 && v <= kLastPosition; });
}

} // namespace

KeyHistory::Vars KeyHistory::capture(const MachineState& m) {
    Vars v;
    for (int s = 1; s <= kSlotCount; ++s)
        v.positions[static_cast<std::size_t>(s - 1)] = static_cast<std::int8_t>(m.positions[s]);
    v.keyIndex = m.keyIndex;
    v.workIndex = m.workIndex;
    v.keyLetter = m.keyLetter.empty() ? 0 : m.keyLetter.front();
    return v;
}

void KeyHistory::restore(MachineState& m, const Vars& v) {
    for (int s = 1; s <= kSlotCount; ++s)
        m.positions[s] = v.positions[static_cast<std::size_t>(s - 1)];
    m.keyIndex = v.keyIndex;
    m.workIndex = v.workIndex;
    if (v.keyLetter == 0)
        m.keyLetter.clear();
    else
        m.keyLetter.assign(1, v.keyLetter);
}

void KeyHistory::clear() {
    m_steps.clear();
    m_runs.clear();
    m_runBytes = 0;
    m_cursor = 0;
    m_inputLength = 0;
    m_outputLength = 0;
}

// A new step ends whatever was taken back before it.
void KeyHistory::push(const MachineState& m, const Step& step) {
    m_steps.resize(m_cursor);
    std::erase_if(m_runs, [this](const RunTexts& r) {
        if (r.step < m_cursor)
            return false;
        m_runBytes -= bytesOf(r);
        return true;
    });
    m_steps.push_back(step);
    m_cursor = m_steps.size();
    m_inputLength = m.inputText.size();
    m_outputLength = m.outputText.size();
}

KeyHistory::RunTexts& KeyHistory::runOf(std::size_t step) {
    // Runs are few, and the one wanted is near the end.
    auto it = std::find_if(m_runs.rbegin(), m_runs.rend(),
                           [step](const RunTexts& r) { return r.step == step; });
    return *it;
}

void KeyHistory::pressKey(MachineState& m, int keyIndex, char keyLetter) {
    if (!m.ready())
        return;
    if (!fits(m))
        clear();
    Step step;
    step.before = capture(m);
    step.mode = m.mode;
    try {
        zelmak::pressKey(m, keyIndex, keyLetter);
    } catch (...) {
        // The key stopped part-way: the texts no longer differ by whole keys.
        clear();
        throw;
    }
    step.after = capture(m);
    step.output = m.outputText.back();
    push(m, step);
    keepWithinBudget();
}

void KeyHistory::runAutomatic(MachineState& m, std::string_view text) {
    if (!m.ready())
        return;
    if (!fits(m))
        clear();
    Step step;
    step.run = true;
    step.before = capture(m);
    step.mode = m.mode;
    // The run starts new texts anyway: the old ones move into the history.
    RunTexts replaced{m_cursor, std::move(m.inputText), std::move(m.outputText)};
    m.inputText.clear();
    m.outputText.clear();
    try {
        zelmak::runAutomatic(m, text);
    } catch (...) {
        clear();
        throw;
    }
    step.after = capture(m);
    push(m, step);
    m_runBytes += bytesOf(replaced);
    m_runs.push_back(std::move(replaced));
    keepWithinBudget();
}

// Drops the oldest steps (with the texts of their runs) until the history holds three quarters
// of its budget at most; dropping in bulk keeps a key's cost constant on average.
void KeyHistory::keepWithinBudget() {
    if (heldBytes() <= m_budget)
        return;
    const std::size_t target = m_budget / 4 * 3;
    std::size_t held = heldBytes();
    std::size_t drop = 0;
    auto run = m_runs.begin();
    while (drop < m_steps.size() && held > target) {
        held -= sizeof(Step);
        if (run != m_runs.end() && run->step == drop) {
            held -= bytesOf(*run);
            ++run;
        }
        ++drop;
    }
    for (auto r = m_runs.begin(); r != run; ++r)
        m_runBytes -= bytesOf(*r);
    m_runs.erase(m_runs.begin(), run);
    for (RunTexts& r : m_runs)
        r.step -= drop;
    m_steps.erase(m_steps.begin(), m_steps.begin() + static_cast<std::ptrdiff_t>(drop));
    m_cursor -= drop;
}

// A run's texts trade places with the machine's: the texts before it for those after it, or back.
void KeyHistory::swapRunTexts(MachineState& m, std::size_t step) {
    RunTexts& texts = runOf(step);
    std::swap(m.inputText, texts.input);
    std::swap(m.outputText, texts.output);
}

// The machine takes the variables of one side of a step, and the history stands at `cursor`.
void KeyHistory::settle(MachineState& m, const Vars& v, std::size_t cursor) {
    restore(m, v);
    m_cursor = cursor;
    m_inputLength = m.inputText.size();
    m_outputLength = m.outputText.size();
}

bool KeyHistory::undo(MachineState& m) {
    if (!canUndo(m))
        return false;
    const std::size_t at = m_cursor - 1;
    const Step& step = m_steps[at];
    if (step.run) {
        swapRunTexts(m, at);
    } else {
        m.inputText.pop_back();
        m.outputText.pop_back();
    }
    settle(m, step.before, at);
    return true;
}

bool KeyHistory::redo(MachineState& m) {
    if (!canRedo(m))
        return false;
    const std::size_t at = m_cursor;
    const Step& step = m_steps[at];
    if (step.run) {
        swapRunTexts(m, at);
    } else {
        m.inputText.push_back(step.after.keyLetter);
        m.outputText.push_back(step.output);
    }
    settle(m, step.after, at + 1);
    return true;
}

std::optional<KeyHistory::StepKind> KeyHistory::nextUndo(const MachineState& m) const {
    if (!canUndo(m))
        return std::nullopt;
    const Step& step = m_steps[m_cursor - 1];
    return StepKind{step.run, step.run ? '\0' : step.after.keyLetter};
}

std::optional<KeyHistory::StepKind> KeyHistory::nextRedo(const MachineState& m) const {
    if (!canRedo(m))
        return std::nullopt;
    const Step& step = m_steps[m_cursor];
    return StepKind{step.run, step.run ? '\0' : step.after.keyLetter};
}

std::vector<KeyAt> KeyHistory::lastKeys(const MachineState& m, std::size_t count) const {
    std::vector<KeyAt> keys;
    if (!fits(m))
        return keys;
    std::size_t inputEnd = m.inputText.size();
    for (std::size_t i = m_cursor; i > 0 && keys.size() < count; --i) {
        const Step& step = m_steps[i - 1];
        const Mode mode = step.mode;
        Positions before;
        for (int s = 1; s <= kSlotCount; ++s)
            before[s] = step.before.positions[static_cast<std::size_t>(s - 1)];
        if (!step.run) {
            keys.push_back({inputEnd, step.after.keyLetter, step.after.keyIndex, mode, before});
            --inputEnd;
            continue;
        }
        // The run keyed InputText from its start; walk its keys back from where it ended.
        Positions after;
        for (int s = 1; s <= kSlotCount; ++s)
            after[s] = step.after.positions[static_cast<std::size_t>(s - 1)];
        for (std::size_t j = inputEnd; j > 0 && keys.size() < count && inRange(after); --j) {
            const char letter = m.inputText[j - 1];
            const auto fed = feedKey(letter);
            if (!fed)
                break;
            const Positions earlier = stepBack(m, after);
            keys.push_back({j, letter, fed->index, mode, earlier});
            after = earlier;
        }
        break;
    }
    std::reverse(keys.begin(), keys.end());
    return keys;
}

Positions stepBack(const MachineSetting& setting, const Positions& after) {
    Positions p = after;
    const auto marked = [&setting](int guide, std::int32_t position) {
        return setting.pinTable(setting.key.discSetting[guide] + 1, position + 1) != 0;
    };
    stepping::stepBack([&p](int slot) -> std::int32_t& { return p[slot]; }, marked);
    return p;
}

} // namespace zelmak
