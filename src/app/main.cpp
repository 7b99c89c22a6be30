#include "platform/help_viewer.h"
#include "platform/program_launcher.h"
#include "startup.h"
#include "ui/Unit1.h"
#include "ui/dialogs.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    zelmak::QtDialogs dialogs;
    zelmak::BrowserHelpViewer helpViewer;
    zelmak::SystemProgramLauncher launcher;
    QString helpFile;

    zelmak::FormServices services;
    services.dialogs = &dialogs;
    services.helpFile = &helpFile;
    services.helpViewer = &helpViewer;
    services.launcher = &launcher;
    services.quit = [] { QCoreApplication::exit(0); };

    zelmak::Startup startup(dialogs);
    auto form = startup.build(zelmak::Startup::mainWindow(services), helpFile);
    if (!form)
        return 1;
    return zelmak::Startup::run(*form);
}
