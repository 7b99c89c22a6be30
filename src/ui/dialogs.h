#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace zelmak {

// Makes the question to ask before the save dialog returns an existing file, from its path.
using ReplaceQuestion = std::function<QString(const QString& path)>;

// The window's modal dialogs: the two file dialogs and the error box. The program uses
// QtDialogs; tests put in their own, so that nothing ever waits for a click.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A filter is pairs of description and pattern joined by "|" ("Textdatei (*.txt)|*.txt").
    // Each returns the chosen file's full path, or nothing when the operator cancels.
    virtual std::optional<QString> openFile(QWidget* owner, const QString& filter) = 0;
    // With a question, the dialog asks it (Yes or No) before it returns an existing file, and
    // on No the operator chooses again; without one, the question is left to the caller.
    virtual std::optional<QString> saveFile(QWidget* owner, const QString& filter,
                                            const QString& proposedName,
                                            const ReplaceQuestion& askBeforeReplacing) = 0;
    // Asks whether the existing file `path` may be replaced; true for yes.
    virtual bool confirmReplace(QWidget* owner, const QString& path) = 0;

    // The error box: modal, captioned with the application's title, a stop icon, one OK button.
    virtual void errorBox(QWidget* owner, const QString& message) = 0;

    // The box of a fatal start-up error: captioned "Anwendungsfehler", stop icon, one OK button.
    virtual void applicationErrorBox(const QString& message) = 0;
};

// Turns "desc|pattern|desc|pattern" into Qt's "desc (pattern);;desc (pattern)".
QString toQtFilter(const QString& filter);

// The real dialogs. Each file dialog keeps what the operator last chose in it (folder, file
// name, filter choice) from one use to the next, for the running session only: the names and
// folders of key files and messages must not outlive it. Qt's own file dialog would keep its
// history and last folder in the user's settings (QtProject.conf), so creating a QtDialogs sends
// the process's user-scope Qt settings nowhere; the program stores no settings of its own.
class QtDialogs : public Dialogs {
public:
    QtDialogs();

    std::optional<QString> openFile(QWidget* owner, const QString& filter) override;
    std::optional<QString> saveFile(QWidget* owner, const QString& filter,
                                    const QString& proposedName,
                                    const ReplaceQuestion& askBeforeReplacing) override;
    bool confirmReplace(QWidget* owner, const QString& path) override;
    void errorBox(QWidget* owner, const QString& message) override;
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
