#include "fake_window.h"

#include "machine/checked.h"

namespace zelmak {

namespace {

int selection(int item, int count) {
    return item >= 0 && item < count ? item : -1;
}

template <typename T> T next(std::deque<T>& answers, T none) {
    if (answers.empty())
        return none;
    T answer = answers.front();
    answers.pop_front();
    return answer;
}

} // namespace

FakeWindow::FakeWindow() {
    card.fill(-1);
    disc.fill(-1);
    panes = {"Input\r\n", "Output\r\n", "Load\r\n"};
    enabledState = {
        {Control::SpaceBar, true},        {Control::YKey, false},
        {Control::SaveCipherCode, false}, {Control::SaveCipher, false},
        {Control::CheckCipher, false},    {Control::LoadCipherCode, false},
        {Control::Automatic, false},      {Control::InputPane, false},
        {Control::OutputPane, false},
    };
}

int FakeWindow::cardItem(int k) const {
    checked::expectRange(k, 1, 31);
    return card[static_cast<std::size_t>(k)];
}

void FakeWindow::setCardItem(int k, int item) {
    checked::expectRange(k, 1, 31);
    card[static_cast<std::size_t>(k)] = selection(item, 32);
}

int FakeWindow::discItem(int s) const {
    checked::expectRange(s, 1, 5);
    return disc[static_cast<std::size_t>(s)];
}

void FakeWindow::setDiscItem(int s, int item) {
    checked::expectRange(s, 1, 5);
    disc[static_cast<std::size_t>(s)] = selection(item, 5);
}

void FakeWindow::setEnabled(Control control, bool on) {
    enabledState[control] = on;
}

bool FakeWindow::enabled(Control control) const {
    return enabledState.at(control);
}

void FakeWindow::clearPane(Pane pane) {
    text(pane).clear();
}

void FakeWindow::appendLine(Pane pane, std::string_view line) {
    // A new line starts on a line of its own, as in the window's panes.
    std::string& t = text(pane);
    if (!t.empty() && t.back() != '\n' && t.back() != '\r')
        t.append("\r\n");
    t.append(line).append("\r\n");
}

void FakeWindow::showText(Pane pane, std::string_view t) {
    text(pane).assign(t);
}

std::string FakeWindow::paneText(Pane pane) const {
    return panes[static_cast<std::size_t>(pane)];
}

std::optional<std::string> FakeWindow::runOpenDialog(std::string_view filter) {
    openCalls.push_back({std::string(filter), {}});
    return next<std::optional<std::string>>(openAnswers, std::nullopt);
}

std::optional<std::string> FakeWindow::runSaveDialog(std::string_view filter,
                                                     std::string_view proposedName,
                                                     const ReplaceQuestion& question) {
    saveCalls.push_back({std::string(filter), std::string(proposedName), bool(question)});
    return next<std::optional<std::string>>(saveAnswers, std::nullopt);
}

bool FakeWindow::confirmReplace(std::string_view path) {
    replaceQuestions.emplace_back(path);
    return next(replaceAnswers, true);
}

} // namespace zelmak
