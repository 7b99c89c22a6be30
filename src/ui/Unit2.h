#pragma once

#include <QWidget>

class QFrame;
class QLabel;

// TStart, the intro window: a plain greeting that stands on the screen, reacting to nothing,
// while the main window is being built.
class TStart : public QWidget {
    Q_OBJECT

public:
    explicit TStart(QWidget* parent = nullptr);

    // Puts the window, frame included, in the middle of its screen.
    void centre();

    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
};
