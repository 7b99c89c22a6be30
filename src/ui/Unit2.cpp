#include "Unit2.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace {

QLabel* greetingLine(QWidget* parent, const char* name, const QString& caption,
                     const QString& family, int pixels, QPoint at) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font(family);
    font.setPixelSize(pixels);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    label->move(at);
    label->adjustSize();
    return label;
}

} // namespace

TStart::TStart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Start"));
    setWindowTitle(QStringLiteral("Intro"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(524, 257);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(13);
    setFont(font);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setGeometry(0, 0, 521, 257);

    Label1 = greetingLine(Panel1, "Label1", QStringLiteral("Herzlich willkommen beim ersten"),
                          QStringLiteral("Arial"), 26, {64, 16});
    Label2 = greetingLine(Panel1, "Label2", QStringLiteral("ZELMAK - Emulator"),
                          QStringLiteral("Arial"), 32, {112, 64});
    // Where no font of this name exists, the substitute shows the caption's Latin letters.
    Label3 = greetingLine(Panel1, "Label3", QStringLiteral("Hjvtrq - R-904"),
                          QStringLiteral("Cyrillic-Normal"), 26, {144, 112});

    centre();
}

void TStart::centre() {
    const QScreen* shownOn = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!shownOn)
        return;
    const QRect frame = frameGeometry();
    const QPoint offset = pos() - frame.topLeft();
    move(shownOn->geometry().center() - QPoint(frame.width() / 2, frame.height() / 2) + offset);
}
