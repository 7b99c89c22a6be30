// A loaded-text pane holding words cut at blanks, for drag_in_pane.sh: writes where the word
// "w20" is and where "w90" begins (screen pixels) to WORK/places, selects "w20", and once
// WORK/dropped exists writes to WORK/result whether the pane's text is the text with "w20"
// moved before "w90", and nothing else changed.
// Usage: zelmak-pane-probe WORK
#include "ui/run_pane.h"

#include <QApplication>
#include <QFile>
#include <QTextCursor>
#include <QTimer>

#include <string>

namespace {

// The document place of the byte at this offset of a text without hard breaks.
int placeOf(const zelmak::RunPane& pane, std::size_t offset) {
    int place = 0;
    for (std::size_t seen = 0; seen < offset || pane.isSoftBreak(place); ++place)
        if (!pane.isSoftBreak(place))
            ++seen;
    return place;
}

void write(const QString& path, const std::string& text) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text.data(), static_cast<qint64>(text.size()));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QString work = QString::fromLocal8Bit(argv[1]);
    zelmak::RunPane pane;
    pane.setWindowTitle(QStringLiteral("pane probe"));
    pane.setWrapAtBlanks(true);
    pane.resize(300, 300);
    pane.show();
    std::string text;
    for (int i = 0; i < 120; ++i)
        text.append("w").append(std::to_string(i)).append(" ");
    std::string moved = text;
    moved.erase(moved.find("w20 "), 3);
    moved.insert(moved.find("w90 "), "w20");

    QTimer::singleShot(500, &pane, [&] {
        pane.showText(text);
        QTextCursor word(pane.document());
        word.setPosition(placeOf(pane, text.find("w20 ")));
        word.setPosition(word.position() + 3, QTextCursor::KeepAnchor);
        pane.setTextCursor(word);
        const QRect end = pane.cursorRect(word);
        const QPoint from = pane.viewport()->mapToGlobal(end.center() - QPoint(8, 0));
        QTextCursor target(pane.document());
        target.setPosition(placeOf(pane, text.find("w90 ")));
        const QPoint to = pane.viewport()->mapToGlobal(pane.cursorRect(target).center());
        write(work + QStringLiteral("/places"),
              std::to_string(from.x()) + " " + std::to_string(from.y()) + " " +
                  std::to_string(to.x()) + " " + std::to_string(to.y()) + "\n");
    });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &pane, [&] {
        if (!QFile::exists(work + QStringLiteral("/dropped")))
            return;
        write(work + QStringLiteral("/result"),
              pane.text8() == moved ? "moved exactly\n" : "other text: " + pane.text8() + "\n");
        app.quit();
    });
    poll.start(100);
    return app.exec();
}
