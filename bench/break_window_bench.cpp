// The break window's figures, with a full crib search running (every disc order): how long a key
// of the main window takes and how late the window's event loop answers meanwhile, and the time
// from Escape to the search's threads all ended. Runs on the offscreen platform unless a display
// is chosen.

#include "files/text_conversion.h"
#include "keyed_message.h"
#include "silent_dialogs.h"
#include "ui/Unit1.h"
#include "ui/break_job.h"
#include "ui/break_window.h"
#include "ui/dialogs.h"
#include "ui/run_pane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using zelmak::bench::SilentDialogs;

const char* const kLetter =
    "DIE ABLOESUNG DER POSTEN ERFOLGT MORGEN FRUEH UM SIEBEN UHR AM NOERDLICHEN TOR "
    "BITTE MELDEN SIE DEN STAND DER VORRAETE BIS ZUM ABEND";

void waitMs(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SilentDialogs dialogs;
    zelmak::FormServices services;
    services.dialogs = &dialogs;
    TForm1 form(services);
    form.FormCreate();
    form.show();

    using namespace zelmak::analysis;
    const auto keyed =
        zelmak::testing::randomlyKeyed(readCrib(zelmak::convertForMachine(kLetter).text), 8);
    std::string message, crib;
    for (const Symbol c : keyed.cipher)
        message.push_back(zelmak::keySymbol(c + 1));
    for (std::size_t i = 0; i < 30; ++i)
        crib.push_back(keyed.plain[i] == kWordSpace ? ' ' : zelmak::keySymbol(keyed.plain[i] + 1));
    form.findChild<zelmak::RunPane*>(QStringLiteral("lade"))->showEditedText(message);
    QApplication::processEvents();

    form.openBreakWindow();
    auto* window = form.findChild<zelmak::BreakWindow*>();
    window->findChild<QLineEdit*>(QStringLiteral("Crib"))->setText(QString::fromStdString(crib));
    window->startSearch();
    std::printf("full crib search running on %u thread(s) beside the window\n",
                zelmak::searchThreads());
    waitMs(500);

    // Keys of the main window while the search runs: the handler, and the lateness of a timer
    // due at once (what a key waits before the window gets to it).
    auto* key = form.findChild<QPushButton*>(QStringLiteral("Button19"));
    std::vector<double> handler, late;
    for (int i = 0; i < 50; ++i) {
        QElapsedTimer t;
        t.start();
        key->click();
        handler.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        QElapsedTimer due;
        bool ran = false;
        due.start();
        QTimer::singleShot(0, &form, [&] {
            late.push_back(static_cast<double>(due.nsecsElapsed()) / 1e6);
            ran = true;
        });
        while (!ran)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        waitMs(40);
    }
    std::sort(handler.begin(), handler.end());
    std::sort(late.begin(), late.end());
    std::printf("key of the main window during the search: median %.2f ms, slowest %.2f ms; "
                "the window answered within %.2f ms (slowest %.2f ms)\n",
                handler[handler.size() / 2], handler.back(), late[late.size() / 2], late.back());

    if (!window->searching()) {
        std::printf("the search ended before it could be cancelled\n");
        return 1;
    }
    QElapsedTimer stop;
    stop.start();
    window->cancelSearch(); // what Escape does
    while (window->searching())
        QApplication::processEvents(QEventLoop::AllEvents, 1);
    std::printf("Escape to the search's threads all ended: %.1f ms\n",
                static_cast<double>(stop.nsecsElapsed()) / 1e6);
    return 0;
}
