#include "disc_panel.h"

#include "panel_building.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

namespace zelmak {

DiscPanel::DiscPanel(QWidget& window) : QObject(&window) {
    auto* group = placed(new QGroupBox(QStringLiteral("Cipher-Disc"), &window),
                         QStringLiteral("GroupBox1"), {24, 11, 528, 96});
    for (int s = 1; s <= 5; ++s) {
        const int x = 8 + (s - 1) * 64;
        auto* position =
            placed(new QComboBox(group), QStringLiteral("ComboBoxSS%1").arg(s), {x, 24, 57, 24});
        for (int i = 1; i <= kSymbolCount; ++i)
            position->addItem(QString(QLatin1Char(keySymbol(i))));
        position->setCurrentIndex(-1);
        position->setAccessibleName(QStringLiteral("Position of disc slot %1").arg(s));
        connect(position, &QComboBox::activated, this,
                [this, s](int item) { emit positionPicked(s, item); });
        m_positions[static_cast<std::size_t>(s - 1)] = position;

        auto* disc =
            placed(new QComboBox(group), QStringLiteral("ComboBoxS%1").arg(s), {x, 56, 57, 24});
        for (int n = 1; n <= 5; ++n)
            disc->addItem(QString::number(n));
        disc->setCurrentIndex(-1);
        disc->setAccessibleName(QStringLiteral("Disc number of slot %1").arg(s));
        connect(disc, &QComboBox::activated, this,
                [this, s](int item) { emit discPicked(s, item); });
        m_discs[static_cast<std::size_t>(s - 1)] = disc;
    }
    for (auto [n, caption, y] :
         {std::tuple{1, "Position the Disc", 24}, std::tuple{2, "Number from Disc", 64}}) {
        auto* label = new QLabel(QString::fromLatin1(caption), group);
        label->setObjectName(QStringLiteral("Label%1").arg(n));
        label->move(328, y);
    }
}

void DiscPanel::showPositions(const Positions& positions) {
    for (int s = 1; s <= 5; ++s)
        if (position(s)->currentIndex() != positions[s])
            position(s)->setCurrentIndex(positions[s]);
}

void DiscPanel::showDraft(const SettingDraft& draft) {
    for (int s = 1; s <= 5; ++s)
        if (disc(s)->currentIndex() != draft.discItem(s))
            disc(s)->setCurrentIndex(draft.discItem(s));
}

QComboBox* DiscPanel::position(int s) const {
    return m_positions.at(static_cast<std::size_t>(s - 1));
}

QComboBox* DiscPanel::disc(int s) const {
    return m_discs.at(static_cast<std::size_t>(s - 1));
}

} // namespace zelmak
