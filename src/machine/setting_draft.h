#pragma once

namespace zelmak {

// The operator's draft of a key setting: the 31 card selectors and the five disc-number
// selectors. The machine takes it only through the setting check and the set-up.
//
// Item indexes are signed: -1 means nothing is selected, and setting an index outside the
// selector's list leaves it blank. Setting a selection from the program never runs a handler.
class SettingDraft {
public:
    virtual ~SettingDraft() = default;

    // Card selector k (ComboBox1..ComboBox31): item 0 is empty, items 1..31 are KeyAlphabet.
    virtual int cardItem(int k) const = 0;
    virtual void setCardItem(int k, int item) = 0;

    // Disc-number selector s (ComboBoxS1..ComboBoxS5): items "1".."5".
    virtual int discItem(int s) const = 0;
    virtual void setDiscItem(int s, int item) = 0;
};

} // namespace zelmak
