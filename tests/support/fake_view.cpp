#include "fake_view.h"

#include <new>
#include <utility>

namespace zelmak {

namespace {

template <typename T> T next(std::deque<T>& answers, T none) {
    if (answers.empty())
        return none;
    T answer = answers.front();
    answers.pop_front();
    return answer;
}

} // namespace

FakeView::FakeView() : enabledStates(zelmak::enabledStates(SessionFacts{})) {
    panes = {"Input\r\n", "Output\r\n", "Load\r\n"};
    positions.raw().fill(kNoPosition);
}

void FakeView::showText(Pane pane, std::string_view t) {
    if (std::exchange(failNextShow, false))
        throw std::bad_alloc();
    panes[static_cast<std::size_t>(pane)].assign(t);
    ++paneWrites[static_cast<std::size_t>(pane)];
}

void FakeView::setEnabled(Control control, bool on) {
    enabledStates[static_cast<std::size_t>(control)] = on;
}

std::optional<std::string> FakeView::runOpenDialog(std::string_view filter) {
    openCalls.push_back({std::string(filter), {}});
    return next<std::optional<std::string>>(openAnswers, std::nullopt);
}

std::optional<std::string> FakeView::runSaveDialog(std::string_view filter,
                                                   std::string_view proposedName,
                                                   const ReplaceQuestion& question) {
    saveCalls.push_back({std::string(filter), std::string(proposedName), bool(question)});
    return next<std::optional<std::string>>(saveAnswers, std::nullopt);
}

bool FakeView::confirmReplace(std::string_view path) {
    replaceQuestions.emplace_back(path);
    return next(replaceAnswers, true);
}

} // namespace zelmak
