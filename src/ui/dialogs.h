#pragma once

#include "files/file_dialogs.h"

#include <QString>

class QWidget;

namespace zelmak {

// The window's modal dialogs: the file dialogs of the file handlers, and the error boxes. The
// program uses QtDialogs; tests put in their own, so that nothing ever waits for a click.
class Dialogs : public FileDialogs {
public:
    // The window the dialogs belong to; none before it is built.
    QWidget* owner = nullptr;

    // The error box: modal, captioned with the application's title, a stop icon, one OK button.
    virtual void errorBox(const QString& message) = 0;

    // The box of a fatal start-up error: captioned "Anwendungsfehler", stop icon, one OK button.
    virtual void applicationErrorBox(const QString& message) = 0;
};

// The real dialogs. Each file dialog keeps what the operator last chose in it (folder, file
// name, filter choice) from one use to the next, for the running session only: the names and
// folders of key files and messages must not outlive it. Qt's own file dialog would keep its
// history and last folder in the user's settings (QtProject.conf), so creating a QtDialogs sends
// the process's user-scope Qt settings nowhere; the program stores no settings of its own.
class QtDialogs : public Dialogs {
public:
    QtDialogs();

    std::optional<std::string> runOpenDialog(std::string_view filter) override;
    std::optional<std::string> runSaveDialog(std::string_view filter, std::string_view proposedName,
                                             const ReplaceQuestion& question) override;
    bool confirmReplace(std::string_view path) override;
    void errorBox(const QString& message) override;
    void applicationErrorBox(const QString& message) override;

    // What the operator last chose in one of the file dialogs.
    struct Memory {
        QString directory;
        QString fileName;
        int filterIndex = 0;
    };

private:
    Memory m_open;
    Memory m_save;
};

} // namespace zelmak
