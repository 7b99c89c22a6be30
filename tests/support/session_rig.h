#pragma once

// A session with test doubles for its view, dialogs, random source and clock, started as the
// window starts it (everything shown once, then the creation event: the service setting), and
// the snapshot of everything a cancelled or failed operation must leave as it was.

#include "doubles.h"
#include "fake_view.h"
#include "session/session.h"

#include <ostream>
#include <string>
#include <string_view>

namespace zelmak::test {

struct SessionRig {
    FakeView view;
    ScriptedRandomSource random{{}};
    FixedClock clock{{2026, 12, 6}};
    Session session{{view, view, view, view, random, clock}};

    // Without the creation event: as the window is before it runs.
    explicit SessionRig(bool created = true) {
        session.showAll();
        if (created)
            session.serviceCipher();
    }

    const MachineState& machine() const { return session.machine(); }
    const std::string& pane(Pane p) const { return view.text(p); }

    // Presses the keys of these symbols ("_" or a blank: the space bar).
    void type(std::string_view symbols) {
        for (const char c : symbols)
            session.pressKey(c == ' ' ? '_' : c);
    }
};

// A key record from its 36 bytes as text ("\x01\x02..."), or the two settings the tests use.
KeyRecordBytes recordOf(std::string_view bytes);
std::string serviceRecordBytes();  // card 01..1F, discs 00..04
std::string reversedRecordBytes(); // card 1F..01, discs 04..00: valid, and not the service one

// Everything the operator sees, the machine's setting, positions, mode, texts and flags, and how
// far the history reaches.
struct Snapshot {
    std::array<std::string, kPaneCount> panes;
    SettingDraft draft;
    Positions positions;
    Mode mode;
    EnabledStates enabled;
    std::string checkValue;
    KeyRecordBytes key;
    Byte cardReady, discReady;
    std::int32_t cardErrorCount;
    std::string inputText, outputText;
    std::size_t undoDepth;

    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshotOf(const SessionRig& rig);
void PrintTo(const Snapshot& s, std::ostream* os);

} // namespace zelmak::test
