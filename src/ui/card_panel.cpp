#include "card_panel.h"

#include "panel_building.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace zelmak {

namespace {

// Card entry k: its label's name, and where label and selector stand in the group.
struct CardPlace {
    int label; // LabelN
    int labelX;
    int y;
    int selectorX;
};

CardPlace cardPlace(int k) {
    static constexpr int kLabels[kSymbolCount + 1] = {0,  12, 18, 48, 19, 20, 21, 22, 23, 24, 25,
                                                      27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37,
                                                      38, 39, 40, 41, 42, 4,  43, 45, 46, 47};
    constexpr int kRowStep = 26;
    if (k <= 16)
        return {kLabels[k], 8, 34 + (k - 1) * kRowStep, 36};
    return {kLabels[k], k == kWordSpaceIndex ? 137 : 160, 37 + (k - 17) * kRowStep, 195};
}

struct SettingButton {
    int number; // ButtonN
    const char* caption;
    QRect place;
};

const SettingButton kSettingButtons[] = {
    {38, "Check Cipher", {160, 439, 148, 25}}, {42, "Random Cipher", {8, 466, 145, 25}},
    {37, "Save Cipher", {160, 466, 148, 25}},  {36, "Service Cipher", {8, 496, 145, 25}},
    {39, "Load Cipher", {160, 496, 148, 25}},
};

} // namespace

CardPanel::CardPanel(QWidget& window) : QObject(&window) {
    auto* group = placed(new QGroupBox(QStringLiteral("Cipher-Card"), &window),
                         QStringLiteral("GroupBox2"), {670, 11, 315, 542});
    for (int k = 1; k <= kSymbolCount; ++k) {
        const CardPlace at = cardPlace(k);
        const QLatin1Char symbol(keySymbol(k));
        auto* label = new QLabel(k == kWordSpaceIndex ? QStringLiteral("Y/Spc=")
                                                      : QString(symbol) + QStringLiteral(" ="),
                                 group);
        label->setObjectName(QStringLiteral("Label%1").arg(at.label));
        label->move(at.labelX, at.y + 4);

        auto* selector = placed(new QComboBox(group), QStringLiteral("ComboBox%1").arg(k),
                                {at.selectorX, at.y, 69, 26});
        selector->addItem(QString());
        for (int i = 1; i <= kSymbolCount; ++i)
            selector->addItem(QString(QLatin1Char(keySymbol(i))));
        selector->setCurrentIndex(-1);
        selector->setAccessibleName(QStringLiteral("Card entry for key %1").arg(symbol));
        label->setBuddy(selector);
        connect(selector, &QComboBox::activated, this,
                [this, k](int item) { emit cardPicked(k, item); });
        m_selectors[static_cast<std::size_t>(k - 1)] = selector;
    }
    for (const SettingButton& b : kSettingButtons) {
        auto* button = placed(new QPushButton(QString::fromLatin1(b.caption), group),
                              QStringLiteral("Button%1").arg(b.number), b.place);
        button->setAutoDefault(false);
        m_buttons[static_cast<std::size_t>(b.number)] = button;
    }
}

void CardPanel::showDraft(const SettingDraft& draft) {
    for (int k = 1; k <= kSymbolCount; ++k)
        if (selector(k)->currentIndex() != draft.cardItem(k))
            selector(k)->setCurrentIndex(draft.cardItem(k));
}

QComboBox* CardPanel::selector(int k) const {
    return m_selectors.at(static_cast<std::size_t>(k - 1));
}

QPushButton* CardPanel::button(int number) const {
    return m_buttons.at(static_cast<std::size_t>(number));
}

} // namespace zelmak
