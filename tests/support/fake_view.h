#pragma once

// The test double of the session's view and of the file dialogs, held in plain fields: what the
// panes, selectors and controls show, what the operator was told, and scripted dialog answers.

#include "files/file_dialogs.h"
#include "session/views.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace zelmak {

// Starts as the window does when it is built: nothing selected, the enabled states the session
// starts with, the panes' captions.
class FakeView : public TextView, public SettingView, public Notices, public FileDialogs {
public:
    FakeView();

    void showText(Pane pane, std::string_view text) override;
    void showDraft(const SettingDraft& draft) override { shownDraft = draft; }
    void showPositions(const Positions& p) override { positions = p; }
    void showMode(Mode m) override { mode = m; }
    void setEnabled(Control control, bool on) override;
    void showCheckValue(std::string_view value) override { checkValue = value; }
    void errorBox(std::string_view message) override { errors.emplace_back(message); }
    void announce(std::string_view text) override { announcements.emplace_back(text); }

    std::optional<std::string> runOpenDialog(std::string_view filter) override;
    std::optional<std::string> runSaveDialog(std::string_view filter, std::string_view proposedName,
                                             const ReplaceQuestion& question) override;
    bool confirmReplace(std::string_view path) override;

    const std::string& text(Pane pane) const { return panes[static_cast<std::size_t>(pane)]; }
    bool enabled(Control control) const { return zelmak::enabled(enabledStates, control); }

    std::array<std::string, kPaneCount> panes;
    bool failNextShow = false; // the next showText runs out of memory
    std::array<int, kPaneCount> paneWrites{}; // how often each pane was rewritten
    SettingDraft shownDraft;
    Positions positions;
    Mode mode = Mode::Cipher;
    EnabledStates enabledStates;
    std::string checkValue;
    std::vector<std::string> errors;
    std::vector<std::string> announcements;

    // Dialogs answer from these queues (an empty queue cancels) and record what they were asked.
    std::deque<std::optional<std::string>> openAnswers;
    std::deque<std::optional<std::string>> saveAnswers;
    struct DialogCall {
        std::string filter;
        std::string proposedName;
        bool askBeforeReplacing = true;
    };
    std::vector<DialogCall> openCalls;
    std::vector<DialogCall> saveCalls;

    // The answers to "replace it?" in turn (none left: yes), and the paths asked about.
    std::deque<bool> replaceAnswers;
    std::vector<std::string> replaceQuestions;
};

} // namespace zelmak
