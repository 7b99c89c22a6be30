#include "click_panel.h"

#include <QMouseEvent>

namespace zelmak {

ClickPanel::ClickPanel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setAlignment(Qt::AlignCenter);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
}

void ClickPanel::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void ClickPanel::mouseReleaseEvent(QMouseEvent* event) {
    const bool inside = rect().contains(event->position().toPoint());
    const bool fire = m_pressed && event->button() == Qt::LeftButton && inside;
    m_pressed = false;
    event->accept();
    if (fire)
        emit clicked();
}

} // namespace zelmak
