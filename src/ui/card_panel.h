#pragma once

#include "machine/setting_draft.h"

#include <QObject>

#include <array>

class QComboBox;
class QGroupBox;
class QPushButton;
class QWidget;

namespace zelmak {

// The cipher card ("Cipher-Card", GroupBox2): the 31 card selectors ComboBox1 .. ComboBox31 with
// their labels, and the five setting buttons below them (Check, Random, Save, Service and Load
// Cipher). The selectors show the session's draft; the operator's pick is passed on.
class CardPanel : public QObject {
    Q_OBJECT

public:
    explicit CardPanel(QWidget& window);

    void showDraft(const SettingDraft& draft);

    QComboBox* selector(int k) const;
    // Button36 .. Button39 and Button42.
    QPushButton* button(int number) const;

signals:
    void cardPicked(int k, int item);

private:
    std::array<QComboBox*, kSymbolCount> m_selectors{};
    std::array<QPushButton*, 43> m_buttons{};
};

} // namespace zelmak
