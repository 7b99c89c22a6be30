#include "text_feed.h"

#include "key_alphabet.h"
#include "machine.h"

#include <array>

namespace zelmak {

namespace {

struct FeedEntry {
    std::uint8_t index = 0; // 0: skipped
    char letter = 0;
};

constexpr std::array<FeedEntry, 256> makeFeedTable() {
    std::array<FeedEntry, 256> table{};
    for (int i = 1; i <= kSymbolCount; ++i) {
        const char symbol = keySymbol(i);
        table[static_cast<unsigned char>(symbol)] = {static_cast<std::uint8_t>(i), symbol};
        if (symbol >= 'A' && symbol <= 'Z') {
            const char lower = static_cast<char>(symbol - 'A' + 'a');
            table[static_cast<unsigned char>(lower)] = {static_cast<std::uint8_t>(i), symbol};
        }
    }
    table[static_cast<unsigned char>(' ')] = {kWordSpaceIndex, '_'};
    table[static_cast<unsigned char>('_')] = {kWordSpaceIndex, '_'};
    return table;
}

constexpr auto kFeedTable = makeFeedTable();

// The disc positions of a run, held here while the run goes on and handed to the window's
// selectors once at its end (or where it stops). The window is not repainted between the
// characters of a run anyway, and a selector's change notifications cost far more than a step.
class BufferedPositions : public Window {
public:
    explicit BufferedPositions(Window& window) : m_window(window) {
        for (int s = 1; s <= 5; ++s)
            m_pos[s] = window.position(s);
    }
    ~BufferedPositions() override {
        try {
            flush();
        } catch (...) {
            // The selectors keep what they showed; the run's own error is the one to report.
        }
    }
    BufferedPositions(const BufferedPositions&) = delete;
    BufferedPositions& operator=(const BufferedPositions&) = delete;

    void flush() {
        for (int s = 1; s <= 5; ++s)
            if (m_pos[s] != m_window.position(s))
                m_window.setPosition(s, m_pos[s]);
    }

    int position(int s) const override {
        checked::expectRange(s, 1, 5);
        return m_pos[s];
    }
    void setPosition(int s, int item) override {
        checked::expectRange(s, 1, 5);
        m_pos[s] = item >= 0 && item <= 30 ? item : -1;
    }
    bool cipherMode() const override { return m_cipher; }

    int cardItem(int k) const override { return m_window.cardItem(k); }
    void setCardItem(int k, int item) override { m_window.setCardItem(k, item); }
    int discItem(int s) const override { return m_window.discItem(s); }
    void setDiscItem(int s, int item) override { m_window.setDiscItem(s, item); }
    void setEnabled(Control control, bool enabled) override {
        m_window.setEnabled(control, enabled);
    }
    void clearPane(Pane pane) override { m_window.clearPane(pane); }
    void appendLine(Pane pane, std::string_view line) override { m_window.appendLine(pane, line); }
    void showText(Pane pane, std::string_view text) override { m_window.showText(pane, text); }
    std::string paneText(Pane pane) const override { return m_window.paneText(pane); }
    std::optional<std::string> runOpenDialog(std::string_view filter) override {
        return m_window.runOpenDialog(filter);
    }
    std::optional<std::string> runSaveDialog(std::string_view filter, std::string_view proposedName,
                                             bool askBeforeReplacing) override {
        return m_window.runSaveDialog(filter, proposedName, askBeforeReplacing);
    }
    bool confirmReplace(std::string_view path) override { return m_window.confirmReplace(path); }

private:
    Window& m_window;
    // Nothing can switch the mode in the middle of a run.
    const bool m_cipher = m_window.cipherMode();
    int m_pos[6] = {};
};

} // namespace

std::optional<FedKey> feedKey(char c) {
    const FeedEntry& e = kFeedTable[static_cast<unsigned char>(c)];
    if (e.index == 0)
        return std::nullopt;
    return FedKey{e.index, e.letter};
}

void feedText(MachineState& m, Window& window, std::string_view text) {
    BufferedPositions w(window);
    m.inputText.reserve(m.inputText.size() + text.size());
    m.outputText.reserve(m.outputText.size() + text.size());
    std::int32_t position = 0;
    for (const char c : text) {
        position = checked::add(position, 1);
        m.textPosition = position;
        const FeedEntry& e = kFeedTable[static_cast<unsigned char>(c)];
        if (e.index == 0)
            continue;
        m.keyLetter.assign(1, e.letter);
        m.keyIndex = e.index;
        m.inputText.push_back(e.letter);
        TextIO(m, w, PaneRefresh::Deferred);
    }
    m.textPosition = checked::add(position, 1);
}

} // namespace zelmak
