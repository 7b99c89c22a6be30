// The main window's figures: the time of one key press (the whole handler, both panes
// rewritten) and of taking it back and doing it again, with long texts already in the panes, also
// beside the statistics window, and the start-up from main() to the window shown. Runs on the
// offscreen platform unless a display is chosen.

#include "app/startup.h"
#include "silent_dialogs.h"
#include "ui/Unit1.h"
#include "ui/dialogs.h"
#include "ui/run_pane.h"
#include "ui/statistics_window.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

using zelmak::bench::SilentDialogs;

double medianMs(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// The operator puts a text into the loaded-text pane (as a paste would).
void loadText(TForm1& form, std::string_view text) {
    form.findChild<zelmak::RunPane*>(QStringLiteral("lade"))->showEditedText(text);
    QApplication::processEvents();
}

// Creates and shows the window with `length` symbols in both panes, keyed by "Automatic".
void showFilled(TForm1& form, int length) {
    form.FormCreate();
    form.show();
    QApplication::processEvents();
    loadText(form, std::string(static_cast<std::size_t>(length), 'Q'));
    form.findChild<QPushButton*>(QStringLiteral("Button41"))->click();
    QApplication::processEvents();
}

QAction* action(const TForm1& form, const QString& text) {
    for (QAction* a : form.actions())
        if (a->text() == text)
            return a;
    std::fprintf(stderr, "no action %s\n", qPrintable(text));
    std::exit(1);
}

// One key press (Button19, "A") with `length` symbols already in both panes.
void keyPress(zelmak::FormServices services, int length) {
    TForm1 form(services);
    showFilled(form, length);
    auto* key = form.findChild<QPushButton*>(QStringLiteral("Button19"));
    std::vector<double> handler;
    std::vector<double> withPaint;
    for (int i = 0; i < 101; ++i) {
        QElapsedTimer t;
        t.start();
        key->click();
        handler.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        QApplication::processEvents(); // the repaint that follows
        withPaint.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    std::printf("key press with %7d symbols in both panes: handler %.3f ms, with repaint %.3f ms "
                "(median of 101)\n",
                length, medianMs(handler), medianMs(withPaint));
}

// Ctrl+Z and Ctrl+Y on one key (Button19, "A") with `length` symbols in both panes: the whole
// handler of each, both panes shown anew.
void undoRedo(zelmak::FormServices services, int length) {
    TForm1 form(services);
    showFilled(form, length);
    const auto& m = form.session().machine();
    form.findChild<QPushButton*>(QStringLiteral("Button19"))->click();
    QApplication::processEvents();
    QAction* undo = action(form, QStringLiteral("Undo key"));
    QAction* redo = action(form, QStringLiteral("Redo key"));
    std::vector<double> undone;
    std::vector<double> redone;
    for (int i = 0; i < 101; ++i) {
        QElapsedTimer t;
        t.start();
        undo->trigger();
        undone.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        QApplication::processEvents();
        t.restart();
        redo->trigger();
        redone.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        QApplication::processEvents();
    }
    if (m.outputText.size() != static_cast<std::size_t>(length) + 1)
        std::fprintf(stderr, "undo/redo did not run: output has %zu symbols\n",
                     m.outputText.size());
    std::printf("undo / redo of one key with %7d symbols in both panes: handler %.3f ms / %.3f ms "
                "(median of 101)\n",
                length, medianMs(undone), medianMs(redone));
}

// One key press (Button19, "A") with `length` symbols in both panes: with the statistics window
// never opened, and in one window, with it closed and open by turns (so that the machine's noise
// falls on both alike); then one redraw of the open window, which counts all three panes
// (`length` symbols each) and sets the chart, alone and with the chart painted.
void statistics(zelmak::FormServices services, int length) {
    std::vector<double> never;
    {
        TForm1 form(services);
        showFilled(form, length);
        auto* key = form.findChild<QPushButton*>(QStringLiteral("Button19"));
        for (int i = 0; i < 101; ++i) {
            QElapsedTimer t;
            t.start();
            key->click();
            never.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
            QApplication::processEvents();
        }
    }
    TForm1 form(services);
    showFilled(form, length);
    loadText(form, std::string(static_cast<std::size_t>(length), 'E'));
    action(form, QStringLiteral("Statistics…"))->trigger();
    QApplication::processEvents();
    auto* window = form.findChild<zelmak::StatisticsWindow*>();
    auto* key = form.findChild<QPushButton*>(QStringLiteral("Button19"));
    std::vector<double> closed;
    std::vector<double> open;
    for (int i = 0; i < 202; ++i) {
        window->setVisible(i % 2 == 1);
        QApplication::processEvents();
        QElapsedTimer t;
        t.start();
        key->click();
        (i % 2 ? open : closed).push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        QApplication::processEvents();
    }
    std::printf("key press with %7d symbols in both panes, handler with the statistics window "
                "never opened / closed / open: %.3f / %.3f / %.3f ms (median of 101 each)\n",
                length, medianMs(never), medianMs(closed), medianMs(open));

    std::vector<double> redrawn;
    std::vector<double> painted;
    for (int i = 0; i < 21; ++i) {
        QElapsedTimer t;
        t.start();
        window->redraw();
        redrawn.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        window->grab(); // lays out and paints the chart as the screen would
        painted.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    std::printf("statistics redraw with %7d symbols in each pane: counted and set %.3f ms, "
                "with the chart painted %.3f ms (median of 21)\n",
                length, medianMs(redrawn), medianMs(painted));
}

// "Automatic" on a text of `bytes` bytes (the worked example's words, repeated, with line breaks),
// from the click until both panes show the full texts.
void automatic(zelmak::FormServices services, std::size_t bytes) {
    TForm1 form(services);
    form.FormCreate();
    form.show();
    QApplication::processEvents();
    std::string text;
    const std::string line = "Hallo alle, wir treffen uns um 9 am Bahnhof\r\n";
    while (text.size() < bytes)
        text += line;
    text.resize(bytes);
    loadText(form, text);
    auto* run = form.findChild<QPushButton*>(QStringLiteral("Button41"));
    QElapsedTimer t;
    t.start();
    run->click();
    const double handler = static_cast<double>(t.nsecsElapsed()) / 1e6;
    QApplication::processEvents();
    const double shown = static_cast<double>(t.nsecsElapsed()) / 1e6;
    std::printf("Automatic on %5.2f MiB: handler %.0f ms, until shown %.0f ms (%zu symbols out)\n",
                static_cast<double>(bytes) / (1 << 20), handler, shown,
                form.session().machine().outputText.size());
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    SilentDialogs dialogs;
    QString helpFile;
    zelmak::FormServices services;
    services.dialogs = &dialogs;
    services.helpFile = &helpFile;
    services.quit = [] { QCoreApplication::exit(0); };

    // Start-up as the program does it, until the main window has been shown and painted.
    zelmak::Startup startup(dialogs);
    auto form = startup.build(zelmak::Startup::mainWindow(services), helpFile);
    QTimer::singleShot(0, [&] {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        std::printf("start-up from main() to the main window shown: %.1f ms (shown at %lld ns)\n",
                    static_cast<double>(sinceMain.nsecsElapsed()) / 1e6,
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    zelmak::Startup::run(*form);
    form.reset();
    if (argc > 1 && std::string_view(argv[1]) == "--startup")
        return 0;
    if (argc > 1 && std::string_view(argv[1]) == "--statistics") {
        for (int length : {0, 1000000})
            statistics(services, length);
        return 0;
    }
    if (argc > 1 && std::string_view(argv[1]) == "--undo") {
        for (int length : {0, 1000000})
            undoRedo(services, length);
        return 0;
    }

    for (int length : {0, 100000, 200000, 400000, 1000000})
        keyPress(services, length);
    for (int length : {0, 1000000})
        undoRedo(services, length);
    for (std::size_t mib : {1, 4, 16})
        automatic(services, mib << 20);
    statistics(services, 1000000);
    return 0;
}
