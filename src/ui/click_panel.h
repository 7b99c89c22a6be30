#pragma once

#include <QLabel>

namespace zelmak {

// A raised bar with a centred caption that acts as a button for the mouse: a press and release
// inside it emits clicked(). It never takes the focus and has no accelerator.
class ClickPanel : public QLabel {
    Q_OBJECT

public:
    explicit ClickPanel(const QString& caption, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

} // namespace zelmak
