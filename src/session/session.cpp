#include "session.h"

#include "files/key_file.h"
#include "files/text_files.h"
#include "machine/key_alphabet.h"
#include "machine/machine.h"
#include "settings/settings.h"

#include <new>

namespace zelmak {

namespace {

// The message of the error that stops `f`, or nothing when it runs through.
std::string failureOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::bad_alloc&) {
        return "Zu wenig Arbeitsspeicher";
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

std::string keyName(const KeyHistory::StepKind& step) {
    return step.letter == '_' ? std::string("space bar") : std::string(1, step.letter);
}

} // namespace

Session::Session(SessionPorts ports, std::size_t historyBudget)
    : m_ports(ports), m_history(historyBudget) {
    // The panes start with their captions, each a line of its own.
    for (const auto& [p, caption] :
         {std::pair{Pane::Input, "Input"}, std::pair{Pane::Output, "Output"},
          std::pair{Pane::Loaded, "Load"}})
        pane(p).own = std::string(caption) + "\r\n";
    m_shown.positions = m_machine.positions;
    m_shown.enabled = enabledStates(facts());
}

std::string_view Session::paneText(Pane p) const {
    const PaneText& text = m_panes[static_cast<std::size_t>(p)];
    switch (text.shows) {
    case PaneText::Shows::InputText:
        return m_machine.inputText;
    case PaneText::Shows::OutputText:
        return m_machine.outputText;
    case PaneText::Shows::Own:
        break;
    }
    return text.own;
}

SessionFacts Session::facts() const {
    return {m_machine.mode,
            m_machine.ready(),
            m_settingOffered,
            m_checkAccepted,
            m_drawnSinceCheck,
            m_history.canUndo(m_machine),
            m_history.canRedo(m_machine)};
}

// --- Telling the view ------------------------------------------------------------------------

void Session::handle(const std::function<void()>& handler) {
    std::string error = failureOf(handler);
    // Whatever the handler did before an error stays, and is shown; showing can fail too (a long
    // text and too little memory).
    const std::string shown = failureOf([this] { publish(false); });
    if (error.empty())
        error = shown;
    if (error.empty())
        return;
    if (error.back() != '.')
        error += '.';
    m_ports.notices.errorBox(error);
}

void Session::showAll() {
    publish(true);
}

void Session::publish(bool everything) {
    for (std::size_t p = 0; p < kPaneCount; ++p) {
        if (everything || m_shown.paneChanged[p])
            m_ports.text.showText(static_cast<Pane>(p), paneText(static_cast<Pane>(p)));
        m_shown.paneChanged[p] = false;
    }
    SettingView& view = m_ports.setting;
    if (everything || !(m_shown.draft == m_draft)) {
        m_shown.draft = m_draft;
        view.showDraft(m_draft);
    }
    if (everything || !(m_shown.positions == m_machine.positions)) {
        m_shown.positions = m_machine.positions;
        view.showPositions(m_machine.positions);
    }
    if (everything || m_shown.mode != m_machine.mode) {
        m_shown.mode = m_machine.mode;
        view.showMode(m_machine.mode);
    }
    const EnabledStates now = enabledStates(facts());
    for (std::size_t c = 0; c < kControlCount; ++c)
        if (everything || now[c] != m_shown.enabled[c])
            view.setEnabled(static_cast<Control>(c), now[c]);
    m_shown.enabled = now;
    // Worked out again only when another setting has been accepted.
    std::optional<KeyRecord> accepted;
    if (m_machine.ready())
        accepted = m_machine.key;
    if (everything || accepted != m_shown.checked) {
        m_shown.checked = accepted;
        view.showCheckValue(accepted ? checkValue(m_machine) : std::string());
    }
}

void Session::setOwn(Pane p, std::string text) {
    pane(p) = {PaneText::Shows::Own, std::move(text)};
    m_shown.paneChanged[static_cast<std::size_t>(p)] = true;
}

// A line of its own: after a line break first when the pane's last line has none.
void Session::appendLine(Pane p, std::string_view line) {
    std::string text(paneText(p));
    if (!text.empty() && text.back() != '\n' && text.back() != '\r')
        text += "\r\n";
    text.append(line).append("\r\n");
    setOwn(p, std::move(text));
}

void Session::showMachineTexts() {
    pane(Pane::Input) = {PaneText::Shows::InputText, {}};
    pane(Pane::Output) = {PaneText::Shows::OutputText, {}};
    m_shown.paneChanged[static_cast<std::size_t>(Pane::Input)] = true;
    m_shown.paneChanged[static_cast<std::size_t>(Pane::Output)] = true;
}

// --- The keyboard ----------------------------------------------------------------------------

void Session::pressKey(char symbol) {
    handle([this, symbol] {
        if (!m_machine.ready())
            return;
        const int index = symbol == '_' ? kWordSpaceIndex : symbolIndex(symbol).value_or(0);
        // The input pane shows the new symbol whether or not the step succeeds; the output pane
        // is rewritten only once the output symbol has joined the text.
        pane(Pane::Input) = {PaneText::Shows::InputText, {}};
        m_shown.paneChanged[static_cast<std::size_t>(Pane::Input)] = true;
        m_history.pressKey(m_machine, index, symbol);
        showMachineTexts();
    });
}

void Session::automatic() {
    handle([this] {
        if (!m_machine.ready())
            return;
        // Both texts start anew and both panes show them at the end, also when a step stops
        // the run part-way.
        showMachineTexts();
        m_history.runAutomatic(m_machine, pane(Pane::Loaded).own);
    });
}

void Session::selectDecipher() {
    handle([this] { m_machine.mode = Mode::Decipher; });
}

void Session::selectCipher() {
    handle([this] { m_machine.mode = Mode::Cipher; });
}

void Session::clearAll() {
    handle([this] {
        newHistory();
        m_machine.inputText.clear();
        m_machine.outputText.clear();
        showMachineTexts();
        setOwn(Pane::Loaded, {});
    });
}

void Session::pickPosition(int s, int item) {
    handle([this, s, item] {
        m_machine.setPosition(s, item);
        m_shown.positions[s] = m_machine.positions[s]; // the selector shows it already
    });
}

void Session::editPane(Pane p, std::string text) {
    pane(p) = {PaneText::Shows::Own, std::move(text)};
}

void Session::undoKey() {
    moveInHistory(true);
}

void Session::redoKey() {
    moveInHistory(false);
}

void Session::moveInHistory(bool back) {
    handle([this, back] {
        const auto step = back ? m_history.nextUndo(m_machine) : m_history.nextRedo(m_machine);
        if (!step || !(back ? m_history.undo(m_machine) : m_history.redo(m_machine)))
            return;
        showMachineTexts();
        const std::string what = step->run ? std::string("Automatic run") : "Key " + keyName(*step);
        m_ports.notices.announce(what + (back ? " taken back" : " done again"));
    });
}

// --- The setting -----------------------------------------------------------------------------

void Session::checkCipher() {
    handle([this] {
        newHistory();
        check();
    });
}

void Session::pickCard(int k, int item) {
    m_draft.setCardItem(k, item);
    m_shown.draft.setCardItem(k, item); // the selector shows it already
    checkCipher();
}

void Session::pickDisc(int s, int item) {
    m_draft.setDiscItem(s, item);
    m_shown.draft.setDiscItem(s, item);
    checkCipher();
}

void Session::useSetting(const KeyRecordBytes& record, const std::array<int, kSlotCount>& start) {
    m_draft.setRecord(record);
    handle([this, &start] {
        newHistory();
        check();
        if (!m_machine.ready())
            return;
        for (int s = 1; s <= kSlotCount; ++s)
            m_machine.setPosition(s, start[static_cast<std::size_t>(s - 1)]);
        m_machine.mode = Mode::Decipher;
    });
}

// The setting check: builds CardTable from the card selectors, tests card and discs, reports
// the verdict as lines of the output pane, and runs the set-up whenever the card is accepted.
// The input pane is emptied; the texts stay, and the next key shows them again.
void Session::check() {
    MachineState& m = m_machine;
    m_checkAccepted = false;
    m_drawnSinceCheck = false;
    setOwn(Pane::Input, {});
    m.cardErrorCount = 0;
    m.cardReady = 0;
    m.discReady = 0;

    // A blank card selector (-1) stops the check here with the range error.
    std::array<int, kSymbolCount> card{};
    for (int k = 1; k <= kSymbolCount; ++k) {
        m.cardTable[k] = checked::byte(m_draft.cardItem(k));
        card[static_cast<std::size_t>(k - 1)] = m.cardTable[k];
    }
    m.cardErrorCount = cardErrorCount(card);

    setOwn(Pane::Output, {});
    if (m.cardErrorCount > 0) {
        appendLine(Pane::Output, kCardRejected);
        return;
    }
    appendLine(Pane::Output, kCardAccepted);
    m.cardReady = 1;

    std::array<int, 5> discs{};
    for (int s = 1; s <= 5; ++s)
        discs[static_cast<std::size_t>(s - 1)] = m_draft.discItem(s);
    const bool discsValid = discsAreValid(discs);
    appendLine(Pane::Output, discsValid ? kDiscsAccepted : kDiscsRejected);
    m.discReady = discsValid ? 1 : 0;
    m_checkAccepted = m.ready();

    // The set-up runs for every accepted card, also when the discs were rejected.
    Init(m, m_draft);
}

void Session::serviceCipher() {
    handle([this] {
        newHistory();
        m_settingOffered = false;
        m_draft.setRecord(serviceRecord());
        m_settingOffered = true;
        check();
    });
}

// Draws a card that uses every symbol once and an order of the five discs into the selectors and
// withdraws the acceptance until the next check; positions, mode, panes, texts and the set-up's
// tables stay as they are.
void Session::randomCipher() {
    handle([this] {
        newHistory();
        m_machine.discReady = 0;
        m_machine.cardReady = 0;
        m_settingOffered = false;
        m_drawnSinceCheck = true;
        m_draft.setRecord(drawRecord(m_ports.random));
        m_settingOffered = true;
    });
}

// --- Files -----------------------------------------------------------------------------------

void Session::saveCipher() {
    handle([this] {
        const auto chosen = m_ports.dialogs.runSaveDialog(
            kKeySaveFilter, keyFileStem(m_ports.clock.localDate()) + ".key",
            keyFileReplaceQuestion);
        if (chosen)
            writeKeyRecord(*chosen, m_machine.key.bytes());
    });
}

// The record is read first, so a cancelled dialog or a file that cannot be read changes nothing,
// the history included. A loaded record goes into the key setting and the selectors unchecked
// (a card byte above 31 or a disc byte above 4 leaves its selector blank) and waits for the check.
void Session::loadCipher() {
    handle([this] {
        const auto chosen = m_ports.dialogs.runOpenDialog(kKeyOpenFilter);
        if (!chosen)
            return;
        const KeyRecordBytes record = readKeyRecord(*chosen);
        newHistory();
        m_machine.cardErrorCount = 0;
        m_machine.cardReady = 0;
        m_machine.discReady = 0;
        m_settingOffered = false;
        m_machine.key.setBytes(record);
        m_draft.setRecord(record);
        m_settingOffered = true;
    });
}

void Session::saveCipherCode() {
    handle([this] {
        // The file written may not be the one chosen ("letter.txt" is saved as
        // "letter.txt.cif"), so the question before replacing is asked here, about the file
        // that would really be replaced.
        const auto chosen = m_ports.dialogs.runSaveDialog(kTextFileFilter, kProposedCipherName, {});
        if (!chosen)
            return;
        const std::string target = cipherFileName(*chosen);
        if (replacesAFile(target) && !m_ports.dialogs.confirmReplace(target))
            return;
        writeTextFile(target, paneText(Pane::Output));
    });
}

void Session::loadCipherCode() {
    handle([this] {
        const auto chosen = m_ports.dialogs.runOpenDialog(kTextFileFilter);
        if (chosen)
            setOwn(Pane::Loaded, withCrLf(readTextFile(*chosen)));
    });
}

} // namespace zelmak
