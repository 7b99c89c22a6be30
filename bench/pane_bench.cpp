// Figures for the text pane RunPane: one key into a pane that shows 100,000 symbols, large texts
// set at once, reading the text back, and the ways of replacing a whole document. Prints
// milliseconds. Runs on Qt's offscreen platform unless a platform is chosen.
#include "ui/run_pane.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPixmap>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Wall time of the work; the processor time of this thread goes to *cpu, which other programs
// on a busy machine do not inflate.
double timeMs(const std::function<void()>& work, double* cpu = nullptr) {
    const double cpuStart = threadCpuMs();
    const auto start = Clock::now();
    work();
    const double wall = msSince(start);
    if (cpu)
        *cpu = threadCpuMs() - cpuStart;
    return wall;
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1));
    return values[at];
}

// A run of the machine's output: key-alphabet symbols, no blanks, no line breaks.
std::string symbols(std::size_t count, unsigned seed) {
    static const char kAlphabet[] = "I23456789QERTZUOPASDFGHMKLYCVBN";
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pick(0, 30);
    std::string text(count, ' ');
    for (char& c : text)
        c = kAlphabet[pick(random)];
    return text;
}

// Letter-like prose: words and blanks, with a CR LF about every lineLength symbols (0: none).
std::string prose(std::size_t count, std::size_t lineLength, unsigned seed) {
    static const char* const kWords[] = {"der",
                                         "Schl\xfcssel",
                                         "wird",
                                         "t\xe4glich",
                                         "gewechselt",
                                         "and",
                                         "the",
                                         "machine",
                                         "keeps",
                                         "its",
                                         "discs",
                                         "o.k.",
                                         "Cipher-Card",
                                         "in",
                                         "a",
                                         "letter",
                                         ("Gr\xfc\xdf"
                                          "e"), // "\xdfe" would be one escape
                                         "aus",
                                         "K\xf6ln,",
                                         "1945"};
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kWords) - 1);
    std::string text;
    text.reserve(count + 16);
    std::size_t lineStart = 0;
    while (text.size() < count) {
        if (lineLength > 0 && text.size() - lineStart >= lineLength) {
            text += "\r\n";
            lineStart = text.size();
        } else if (text.size() > lineStart) {
            text += ' ';
        }
        text += kWords[pick(random)];
    }
    text.resize(count);
    return text;
}

// The output pane's size and font.
void setUp(QPlainTextEdit& pane) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    pane.setFont(font);
    pane.resize(481, 114);
    pane.show();
    QApplication::processEvents();
}

void keyIntoShownRun() {
    zelmak::RunPane pane;
    setUp(pane);
    std::string text = symbols(100'000, 1);
    const double first = timeMs([&] { pane.showText(text); });
    const double firstPaint = timeMs([&] { pane.grab(); });
    std::printf("showText of 100,000 symbols on an empty pane: %.2f ms, then painted in %.2f ms "
                "(%d blocks)\n",
                first, firstPaint, pane.document()->blockCount());

    std::vector<double> plain;
    std::vector<double> plainCpu;
    std::vector<double> painted;
    for (int i = 0; i < 2000; ++i) {
        text.push_back("QA"[i % 2]);
        double cpu = 0;
        plain.push_back(timeMs([&] { pane.showText(text); }, &cpu));
        plainCpu.push_back(cpu);
    }
    for (int i = 0; i < 500; ++i) {
        text.push_back("Z_"[i % 2]);
        painted.push_back(timeMs([&] {
            pane.showText(text);
            pane.viewport()->repaint();
        }));
    }
    std::printf("key with 100,000 symbols shown, showText(text + 1 symbol), 2000 keys: median "
                "%.4f ms, 90%% %.4f ms, max %.3f ms (cpu: median %.4f, max %.3f)\n",
                percentile(plain, 0.5), percentile(plain, 0.9), percentile(plain, 1.0),
                percentile(plainCpu, 0.5), percentile(plainCpu, 1.0));
    std::printf("the same with the pane repainted each time, 500 keys: median %.4f ms, 90%% "
                "%.4f ms, max %.3f ms\n",
                percentile(painted, 0.5), percentile(painted, 0.9), percentile(painted, 1.0));
}

void largeTexts() {
    for (const std::size_t size :
         {std::size_t{256} << 10, std::size_t{1} << 20, std::size_t{4} << 20}) {
        const std::string text = symbols(size, 2);
        zelmak::RunPane pane;
        setUp(pane);
        double setCpu = 0;
        double paintCpu = 0;
        double replaceCpu = 0;
        const double set = timeMs([&] { pane.showText(text); }, &setCpu);
        const double paint = timeMs([&] { pane.grab(); }, &paintCpu);
        const std::string other = symbols(size, 3);
        const double replace = timeMs(
            [&] {
                pane.showText(other);
                pane.grab();
            },
            &replaceCpu);
        const double perMiB = double(1 << 20) / double(size);
        std::printf("%5zu KiB at once on an empty pane: showText %.1f ms (cpu %.1f ms, %.1f ms "
                    "per MiB), then painted in %.2f ms (cpu %.2f); replaced by another text and "
                    "painted: %.1f ms (cpu %.1f)\n",
                    size >> 10, set, setCpu, setCpu * perMiB, paint, paintCpu, replace, replaceCpu);
        if (size != (std::size_t{1} << 20))
            continue;

        std::string back;
        double cpu = 0;
        const double cached = timeMs([&] { back = pane.text8(); }, &cpu);
        std::printf("text8() of 1 MiB shown by the program: %.2f ms (cpu %.2f, %s)\n", cached, cpu,
                    back == other ? "exact" : "WRONG");
        // The operator types a symbol in the middle; the pane re-cuts the rest of that line.
        QTextCursor middle(pane.document());
        middle.setPosition(pane.document()->characterCount() / 2);
        pane.setTextCursor(middle);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, QStringLiteral("Q"));
        const double typed = timeMs([&] { QApplication::sendEvent(&pane, &key); });
        const double fromBlocks = timeMs([&] { back = pane.text8(); }, &cpu);
        std::printf("operator types one symbol in the middle of 1 MiB: %.1f ms; text8() then: "
                    "%.2f ms (cpu %.2f, %zu bytes)\n",
                    typed, fromBlocks, cpu, back.size());
        // Deleting a symbol near the start shifts every later symbol of the run.
        QTextCursor early(pane.document());
        early.setPosition(10);
        pane.setTextCursor(early);
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
        const double deleted = timeMs([&] { QApplication::sendEvent(&pane, &del); });
        std::printf("operator deletes one symbol near the start of 1 MiB: %.1f ms\n", deleted);
    }
}

// The loaded-text pane: prose set at once with lines cut at blanks, and the operator's edits.
void proseTexts() {
    struct Case {
        const char* name;
        std::string text;
        bool oneLine;
    };
    const Case cases[] = {
        {"1 MiB of prose, CR LF every ~70", prose(std::size_t{1} << 20, 70, 6), false},
        {"4 MiB of prose, CR LF every ~70", prose(std::size_t{4} << 20, 70, 6), false},
        {"1 MiB of prose in one line", prose(std::size_t{1} << 20, 0, 6), true},
        {"1 MiB of cipher text (no blanks) in one line", symbols(std::size_t{1} << 20, 7), true}};
    for (const Case& c : cases) {
        const std::string& text = c.text;
        for (const bool words : {true, false}) {
            zelmak::RunPane pane;
            pane.setWrapAtBlanks(words);
            pane.resize(481, 97);
            QFont font(QStringLiteral("Arial"));
            font.setPixelSize(16);
            pane.setFont(font);
            pane.show();
            QApplication::processEvents();
            double setCpu = 0;
            const double set = timeMs([&] { pane.showText(text); }, &setCpu);
            const double paint = timeMs([&] { pane.grab(); });
            const double perMiB = double(1 << 20) / double(text.size());
            std::printf("%s, %s: showText %.1f ms (cpu %.1f ms, %.1f ms per MiB; %d blocks), "
                        "painted in %.2f ms\n",
                        c.name, words ? "cut at blanks" : "cut anywhere (for comparison)", set,
                        setCpu, setCpu * perMiB, pane.document()->blockCount(), paint);
            if (!words || !c.oneLine)
                continue;
            // The operator types a letter in the middle of the long line, then deletes a symbol
            // near its start (a blank, if there is one).
            QTextCursor middle(pane.document());
            middle.setPosition(pane.document()->characterCount() / 2);
            pane.setTextCursor(middle);
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, QStringLiteral("Q"));
            const double typed = timeMs([&] { QApplication::sendEvent(&pane, &key); });
            QTextCursor blank = pane.document()->find(QStringLiteral(" "), 100);
            if (blank.isNull()) {
                blank = QTextCursor(pane.document());
                blank.setPosition(100);
            }
            blank.clearSelection();
            pane.setTextCursor(blank);
            QKeyEvent back(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
            const double deleted = timeMs([&] { QApplication::sendEvent(&pane, &back); });
            const std::string after = pane.text8();
            std::printf("  operator types a letter in the middle: %.2f ms; deletes a symbol near "
                        "the start: %.2f ms (%zu bytes)\n",
                        typed, deleted, after.size());
        }
    }
}

// The ways of replacing a whole document with text cut into lines of 46 symbols, one block per
// line or eleven lines (line separators between them) to a block, as RunPane keeps them.
void replaceStrategies() {
    for (const auto& [size, linesPerBlock] :
         {std::pair{std::size_t{1} << 20, 1}, std::pair{std::size_t{4} << 20, 1},
          std::pair{std::size_t{4} << 20, 11}}) {
        const std::string run = symbols(size, 4);
        QString cut;
        cut.reserve(static_cast<qsizetype>(size + size / 40));
        for (std::size_t i = 0; i < run.size(); ++i) {
            if (i != 0 && i % 46 == 0)
                cut += QChar(i / 46 % static_cast<std::size_t>(linesPerBlock) == 0
                                 ? QChar::ParagraphSeparator
                                 : QChar::LineSeparator);
            cut += QChar::fromLatin1(run[i]);
        }
        const char* names[] = {"select all + insertText", "QTextDocument::clear + insertText",
                               "fresh document swapped in"};
        for (int way = 0; way < 3; ++way) {
            for (const bool filled : {false, true}) {
                QPlainTextEdit edit;
                edit.setUndoRedoEnabled(false);
                edit.setWordWrapMode(QTextOption::WrapAnywhere);
                setUp(edit);
                if (filled)
                    QTextCursor(edit.document()).insertText(cut);
                const double ms = timeMs([&] {
                    if (way == 0) {
                        QTextCursor all(edit.document());
                        all.select(QTextCursor::Document);
                        all.insertText(cut);
                    } else if (way == 1) {
                        edit.document()->clear();
                        QTextCursor(edit.document()).insertText(cut);
                    } else {
                        auto* doc = new QTextDocument(&edit);
                        doc->setUndoRedoEnabled(false);
                        QTextCursor(doc).insertText(cut);
                        doc->setDocumentLayout(new QPlainTextDocumentLayout(doc));
                        edit.setDocument(doc);
                    }
                    edit.grab();
                });
                std::printf(
                    "replace whole document, %zu MiB, %d line(s) a block, %s, %s: %.1f ms\n",
                    size >> 20, linesPerBlock, names[way],
                    filled ? "over the same size" : "empty before", ms);
            }
        }
    }
}

// For comparison: a plain text edit holding the run as one paragraph.
void plainEditBaseline() {
    QPlainTextEdit edit;
    edit.setUndoRedoEnabled(false);
    edit.setWordWrapMode(QTextOption::WrapAnywhere);
    setUp(edit);
    edit.setPlainText(QString::fromLatin1(symbols(100'000, 5)));
    edit.grab();
    std::vector<double> keys;
    for (int i = 0; i < 5; ++i) {
        keys.push_back(timeMs([&] {
            edit.moveCursor(QTextCursor::End);
            edit.insertPlainText(QStringLiteral("Q"));
            edit.grab();
        }));
    }
    std::printf("plain QPlainTextEdit, one paragraph of 100,000 symbols, wrap anywhere: one "
                "symbol appended and painted, median %.1f ms\n",
                percentile(keys, 0.5));
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    keyIntoShownRun();
    largeTexts();
    proseTexts();
    replaceStrategies();
    plainEditBaseline();
    return 0;
}
