#pragma once

#include "machine/machine_state.h"
#include "machine/setting_draft.h"

#include <QObject>

#include <array>

class QComboBox;
class QWidget;

namespace zelmak {

// The five disc slots ("Cipher-Disc", GroupBox1): in each column the position selector
// (ComboBoxSS1 .. ComboBoxSS5) above the disc-number selector (ComboBoxS1 .. ComboBoxS5). They
// show the machine's positions and the session's draft; the operator's picks are passed on.
class DiscPanel : public QObject {
    Q_OBJECT

public:
    explicit DiscPanel(QWidget& window);

    void showPositions(const Positions& positions);
    void showDraft(const SettingDraft& draft);

    QComboBox* position(int s) const;
    QComboBox* disc(int s) const;

signals:
    void positionPicked(int s, int item);
    void discPicked(int s, int item);

private:
    std::array<QComboBox*, 5> m_positions{};
    std::array<QComboBox*, 5> m_discs{};
};

} // namespace zelmak
