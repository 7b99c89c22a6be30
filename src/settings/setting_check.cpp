#include "machine/machine.h"
#include "settings.h"

namespace zelmak {

using checked::add;

bool cardIsValid(const std::array<int, 31>& card) {
    std::array<bool, 32> used{};
    for (const int symbol : card) {
        if (symbol < 1 || symbol > 31 || used[static_cast<std::size_t>(symbol)])
            return false;
        used[static_cast<std::size_t>(symbol)] = true;
    }
    return true;
}

bool discsAreValid(const std::array<int, 5>& discs) {
    // A blank selector (-1) fails the test: the set-up could not capture it, and the keys would
    // all stop with a range error after the check had reported the discs as accepted.
    for (std::size_t a = 0; a < discs.size(); ++a) {
        if (discs[a] < 0)
            return false;
        for (std::size_t b = a + 1; b < discs.size(); ++b)
            if (discs[a] == discs[b])
                return false;
    }
    return true;
}

void checkSetting(MachineState& m, Window& w) {
    w.setEnabled(Control::Button37, false);
    w.clearPane(Pane::Eingabe);
    w.setEnabled(Control::Eingabe, false);
    w.setEnabled(Control::Ausgabe, false);
    w.setEnabled(Control::Button35, false);
    w.setEnabled(Control::Button40, false);
    w.setEnabled(Control::Button41, false);
    m.cardErrorCount = 0;
    m.cardReady = 0;
    m.discReady = 0;

    // A blank card selector (-1) stops the check here with the range error.
    for (int k = 1; k <= 31; ++k)
        m.cardTable[k] = checked::byte(w.cardItem(k));

    // An empty entry adds 31 and each symbol used twice adds 2; only "above 0" matters.
    for (int i = 1; i <= 31; ++i)
        for (int j = 1; j <= 31; ++j)
            if ((m.cardTable[i] == m.cardTable[j] && j != i) || m.cardTable[i] == 0)
                m.cardErrorCount = add(m.cardErrorCount, 1);

    w.clearPane(Pane::Ausgabe);
    if (m.cardErrorCount > 0) {
        w.appendLine(Pane::Ausgabe, kCardRejected);
        m.cardReady = 0;
        return;
    }
    w.appendLine(Pane::Ausgabe, kCardAccepted);
    m.cardReady = 1;

    std::array<int, 5> discs{};
    for (int s = 1; s <= 5; ++s)
        discs[static_cast<std::size_t>(s - 1)] = w.discItem(s);
    if (discsAreValid(discs)) {
        w.appendLine(Pane::Ausgabe, kDiscsAccepted);
        m.discReady = 1;
    } else {
        w.appendLine(Pane::Ausgabe, kDiscsRejected);
        m.discReady = 0;
    }

    if (m.ready()) {
        w.setEnabled(Control::Button37, true);
        w.setEnabled(Control::Eingabe, true);
        w.setEnabled(Control::Ausgabe, true);
        w.setEnabled(Control::Button35, true);
        w.setEnabled(Control::Button40, true);
        w.setEnabled(Control::Button41, true);
    }

    // The set-up runs for every accepted card, also when the discs were rejected.
    Init(m, w);
}

void serviceSetting(MachineState& m, Window& w) {
    w.setEnabled(Control::Button37, false);
    w.setEnabled(Control::Button38, false);
    for (int s = 1; s <= 5; ++s)
        w.setDiscItem(s, s - 1);
    for (int k = 1; k <= 31; ++k)
        w.setCardItem(k, k);
    w.setEnabled(Control::Button38, true);
    checkSetting(m, w);
}

} // namespace zelmak
