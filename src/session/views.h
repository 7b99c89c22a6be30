#pragma once

// What the session tells its view. It tells only what changed, after each thing the operator did
// (and once, whole, when the view asks for it); the view shows it and gives nothing back but what
// the operator does.

#include "controls.h"
#include "machine/machine_state.h"
#include "machine/setting_draft.h"

#include <string_view>

namespace zelmak {

// The three text panes. A pane is rewritten whole: afterwards it holds exactly this text (lines
// joined by CR LF), with no line break after it unless the text ends in one.
class TextView {
public:
    virtual ~TextView() = default;
    virtual void showText(Pane pane, std::string_view text) = 0;
};

// The selectors, the mode buttons and the enabled states.
class SettingView {
public:
    virtual ~SettingView() = default;
    // The card and disc-number selectors: the operator's draft of a setting.
    virtual void showDraft(const SettingDraft& draft) = 0;
    // The position selectors; kNoPosition leaves one blank.
    virtual void showPositions(const Positions& positions) = 0;
    virtual void showMode(Mode mode) = 0;
    virtual void setEnabled(Control control, bool enabled) = 0;
    // The check value of the accepted setting; empty while none is accepted.
    virtual void showCheckValue(std::string_view value) = 0;
};

// What the operator is told besides the panes: the error box (a message ending in a full stop),
// and announcements for a screen reader ("Key H taken back").
class Notices {
public:
    virtual ~Notices() = default;
    virtual void errorBox(std::string_view message) = 0;
    virtual void announce(std::string_view text) = 0;
};

} // namespace zelmak
