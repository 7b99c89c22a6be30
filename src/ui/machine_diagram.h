#pragma once

#include "machine/trace.h"

#include <QWidget>

#include <optional>

namespace zelmak {

// The way of one key through the machine, drawn as a teacher would sketch it on a board: the
// card, the five discs and the reflector as columns of 31 contacts, the current's way in and its
// way back as two lines of different colours through the contacts they use, the discs' positions
// at the top, and the slots that stepped marked. Everything scales with the widget.
class MachineDiagram : public QWidget {
    Q_OBJECT

public:
    explicit MachineDiagram(QWidget* parent = nullptr);

    // The trace of a key, and the symbol it entered ("_" for the space bar).
    void setTrace(const std::optional<KeyTrace>& trace, char letter = 0);
    const std::optional<KeyTrace>& trace() const { return m_trace; }

    QSize sizeHint() const override { return {640, 560}; }
    QSize minimumSizeHint() const override { return {420, 380}; }

    static const QColor kForward;
    static const QColor kBackward;
    static const QColor kStepped;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<KeyTrace> m_trace;
    char m_letter = 0;
};

} // namespace zelmak
