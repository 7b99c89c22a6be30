#pragma once

class QWidget;

namespace zelmak {

// A window opens beside the main window, right of it or below it, where it fits on the screen,
// so that both stay in view; otherwise at the screen's right edge, over the main window's card
// rather than its keys and texts.
void placeBeside(QWidget& view, const QWidget& main);

} // namespace zelmak
