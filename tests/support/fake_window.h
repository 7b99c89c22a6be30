#pragma once

// Test doubles of the window's seams: the setting draft (card and disc-number selectors), the
// display (panes and enabled states) and the file dialogs, held in plain fields.

#include "files/file_dialogs.h"
#include "machine/display.h"
#include "machine/setting_draft.h"

#include <array>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zelmak {

// Starts as the window does before its creation event: nothing selected, the initial enabled
// states, the panes' captions.
class FakeWindow : public SettingDraft, public Display, public FileDialogs {
public:
    FakeWindow();

    int cardItem(int k) const override;
    void setCardItem(int k, int item) override;
    int discItem(int s) const override;
    void setDiscItem(int s, int item) override;

    void setEnabled(Control control, bool enabled) override;
    void clearPane(Pane pane) override;
    void appendLine(Pane pane, std::string_view line) override;
    void showText(Pane pane, std::string_view text) override;
    std::string paneText(Pane pane) const override;

    std::optional<std::string> runOpenDialog(std::string_view filter) override;
    std::optional<std::string> runSaveDialog(std::string_view filter, std::string_view proposedName,
                                             const ReplaceQuestion& question) override;
    bool confirmReplace(std::string_view path) override;

    bool enabled(Control control) const;
    std::string& text(Pane pane) { return panes[static_cast<std::size_t>(pane)]; }

    std::array<int, 32> card{}; // [1..31]
    std::array<int, 6> disc{};  // [1..5]
    std::array<std::string, 3> panes;
    std::map<Control, bool> enabledState;

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
