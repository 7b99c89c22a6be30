#pragma once

#include <QString>
#include <functional>
#include <memory>

class QApplication;
class TForm1;

namespace zelmak {

class Dialogs;
struct FormServices;

// The program's start-up: the intro window stands while the main window is built (its creation
// event presets and checks the key setting), and is gone before the main window is shown.
class Startup {
public:
    explicit Startup(Dialogs& dialogs) : m_dialogs(dialogs) {}

    // Creates the main window, hidden, with its creation event run. An error inside the creation
    // event is the window's own business (it shows the error box and goes on).
    using MainWindowFactory = std::function<std::unique_ptr<TForm1>()>;

    // The program's way to build the main window: hidden, with its creation event run.
    static MainWindowFactory mainWindow(const FormServices& services);

    // How the desktop knows the program's windows: the desktop file name of its menu entry
    // (the application id where the window system has one) and the entry's icon as the window
    // icon. On X11 the desktop matches the windows' class, "zelmak", with the entry's
    // StartupWMClass. The first thing build() does.
    static void identifyToDesktop();

    // Shows the intro, names the application, registers the help file, builds the main window
    // and removes the intro again. Any error on the way is fatal: it is reported in the
    // "Anwendungsfehler" box and nothing is returned.
    std::unique_ptr<TForm1> build(const MainWindowFactory& createMainWindow, QString& helpFile);

    // Shows the main window and runs the event loop until Exit; returns the exit status.
    static int run(TForm1& mainWindow);

    // The text of the fatal-error box for an error of the given kind and message.
    static QString fatalErrorText(const QString& kind, const QString& position,
                                  const QString& message);

private:
    Dialogs& m_dialogs;
};

} // namespace zelmak
