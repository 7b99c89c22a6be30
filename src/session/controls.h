#pragma once

// The controls whose enabled state changes while the program runs, and the one rule that decides
// it from what the session has done: the window's starting states, and every change after, come
// from enabledStates().

#include "machine/machine_state.h"

#include <array>
#include <cstddef>

namespace zelmak {

enum class Control {
    SpaceBar,       // Button32
    YKey,           // Button34
    SaveCipherCode, // Button35
    SaveCipher,     // Button37
    CheckCipher,    // Button38
    LoadCipherCode, // Button40
    Automatic,      // Button41
    InputPane,      // Eingabe
    OutputPane,     // Ausgabe
    UndoKey,        // the window's "Undo key" action
    RedoKey,        // the window's "Redo key" action
};
inline constexpr std::size_t kControlCount = 11;

enum class Pane {
    Input,  // Eingabe
    Output, // Ausgabe
    Loaded, // lade
};
inline constexpr std::size_t kPaneCount = 3;

// What the enabled states depend on.
struct SessionFacts {
    Mode mode = Mode::Cipher;
    bool accepted = false;        // both acceptance flags are 1
    bool settingOffered = false;  // a setting was put into the selectors (service, random, load)
    bool checkAccepted = false;   // the last setting check accepted card and discs
    bool drawnSinceCheck = false; // "Random Cipher" ran after that check
    bool canUndo = false;
    bool canRedo = false;
};

using EnabledStates = std::array<bool, kControlCount>;

// Each control's state, by the facts; before anything has run, the states the window is built
// with.
EnabledStates enabledStates(const SessionFacts& facts);

inline bool enabled(const EnabledStates& states, Control control) {
    return states[static_cast<std::size_t>(control)];
}

} // namespace zelmak
