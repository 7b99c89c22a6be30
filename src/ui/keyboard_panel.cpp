#include "keyboard_panel.h"

#include "key_layout.h"
#include "panel_building.h"

#include <QPushButton>

namespace zelmak {

KeyboardPanel::KeyboardPanel(QWidget& window) : m_group(&window) {
    for (const KeyRow& key : kKeyRows) {
        const bool space = key.number == kSpaceBarNumber;
        auto* b = placed(new QPushButton(&window), QStringLiteral("Button%1").arg(key.number),
                         space ? QRect(key.x, key.y, 222, 23) : QRect(key.x, key.y, 53, 19));
        b->setAutoDefault(false);
        m_group.addButton(b, key.number);
        if (space) {
            b->setText(QStringLiteral("Leerzeichen / Space Drücke hier!"));
            b->setFont(pixelFont("Arial", 13));
            b->setAccessibleName(QStringLiteral("Space bar"));
            continue;
        }
        b->setText(QStringLiteral("&") + QLatin1Char(key.symbol));
        // The window's key preview presses the keys; Qt's own mnemonic would click a second
        // time, and later.
        b->setShortcut(QKeySequence());
        b->setAccessibleName(QStringLiteral("Key %1").arg(QLatin1Char(key.symbol)));
        m_byAccelerator[static_cast<unsigned char>(key.symbol)] = b;
    }
}

QPushButton* KeyboardPanel::button(int number) const {
    return qobject_cast<QPushButton*>(m_group.button(number));
}

QPushButton* KeyboardPanel::byAccelerator(char16_t character) const {
    return character < m_byAccelerator.size() ? m_byAccelerator[character] : nullptr;
}

} // namespace zelmak
