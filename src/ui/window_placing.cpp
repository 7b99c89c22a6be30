#include "window_placing.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace zelmak {

void placeBeside(QWidget& view, const QWidget& main) {
    const QScreen* screen = main.screen();
    if (!screen)
        return;
    const QRect free = screen->availableGeometry();
    const QRect frame = main.frameGeometry();
    const QSize framed = view.size() + QSize(8, 32); // room for a frame and title bar
    const QPoint right(frame.right() + 6, frame.top());
    const QPoint below(frame.left(), frame.bottom() + 6);
    for (const QPoint& at : {right, below}) {
        if (free.contains(QRect(at, framed))) {
            view.move(at);
            return;
        }
    }
    view.move(std::max(free.left(), free.right() - framed.width()), frame.top());
}

} // namespace zelmak
