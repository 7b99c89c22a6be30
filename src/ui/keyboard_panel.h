#pragma once

#include <QButtonGroup>

#include <array>

class QPushButton;
class QWidget;

namespace zelmak {

// The on-screen keyboard: the 31 symbol keys and the space bar, built from the key table
// (key_layout.h) as children of the window, under their design names (Button1 .. Button34), in
// one button group whose ids are the button numbers.
class KeyboardPanel {
public:
    explicit KeyboardPanel(QWidget& window);

    QButtonGroup& group() { return m_group; }
    QPushButton* button(int number) const;
    // The enabled or disabled key whose caption marks this character (upper case), or none.
    QPushButton* byAccelerator(char16_t character) const;

private:
    QButtonGroup m_group;
    std::array<QPushButton*, 256> m_byAccelerator{};
};

} // namespace zelmak
