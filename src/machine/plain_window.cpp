#include "plain_window.h"

#include "checked.h"

namespace zelmak {

namespace {

int selection(int item, int count) {
    return item >= 0 && item < count ? item : -1;
}

} // namespace

PlainWindow::PlainWindow() {
    card.fill(-1);
    disc.fill(-1);
    pos.fill(-1);
    panes = {"Input\r\n", "Output\r\n", "Load\r\n"};
    enabledState = {
        {Control::Button32, true},  {Control::Button34, false}, {Control::Button35, false},
        {Control::Button37, false}, {Control::Button38, false}, {Control::Button40, false},
        {Control::Button41, false}, {Control::Eingabe, false},  {Control::Ausgabe, false},
    };
}

int PlainWindow::cardItem(int k) const {
    checked::expectRange(k, 1, 31);
    return card[static_cast<std::size_t>(k)];
}

void PlainWindow::setCardItem(int k, int item) {
    checked::expectRange(k, 1, 31);
    card[static_cast<std::size_t>(k)] = selection(item, 32);
}

int PlainWindow::discItem(int s) const {
    checked::expectRange(s, 1, 5);
    return disc[static_cast<std::size_t>(s)];
}

void PlainWindow::setDiscItem(int s, int item) {
    checked::expectRange(s, 1, 5);
    disc[static_cast<std::size_t>(s)] = selection(item, 5);
}

int PlainWindow::position(int s) const {
    checked::expectRange(s, 1, 5);
    return pos[static_cast<std::size_t>(s)];
}

void PlainWindow::setPosition(int s, int item) {
    checked::expectRange(s, 1, 5);
    pos[static_cast<std::size_t>(s)] = selection(item, 31);
}

void PlainWindow::setEnabled(Control control, bool on) {
    enabledState[control] = on;
}

bool PlainWindow::enabled(Control control) const {
    return enabledState.at(control);
}

void PlainWindow::clearPane(Pane pane) {
    text(pane).clear();
}

void PlainWindow::appendLine(Pane pane, std::string_view line) {
    // A new line starts on a line of its own, as in the window's panes.
    std::string& t = text(pane);
    if (!t.empty() && t.back() != '\n' && t.back() != '\r')
        t.append("\r\n");
    t.append(line).append("\r\n");
}

void PlainWindow::showText(Pane pane, std::string_view t) {
    text(pane).assign(t);
}

std::string PlainWindow::paneText(Pane pane) const {
    return panes[static_cast<std::size_t>(pane)];
}

std::optional<std::string> PlainWindow::runOpenDialog(std::string_view filter) {
    openCalls.push_back({std::string(filter), {}});
    if (openAnswers.empty())
        return std::nullopt;
    auto answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

std::optional<std::string> PlainWindow::runSaveDialog(std::string_view filter,
                                                      std::string_view proposedName,
                                                      bool askBeforeReplacing) {
    saveCalls.push_back({std::string(filter), std::string(proposedName), askBeforeReplacing});
    if (saveAnswers.empty())
        return std::nullopt;
    auto answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

bool PlainWindow::confirmReplace(std::string_view path) {
    replaceQuestions.emplace_back(path);
    if (replaceAnswers.empty())
        return true;
    const bool answer = replaceAnswers.front();
    replaceAnswers.pop_front();
    return answer;
}

} // namespace zelmak
