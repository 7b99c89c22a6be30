#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <string>

class QWidget;

namespace zelmak {

// Shows a help file at its contents page. Whether that works is never reported back.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void showContents(QWidget* owner, const std::string& helpFile) = 0;
};

// Shows the help file (HTML, whatever its extension) in a help window of its own: a
// non-modal window owned by `owner`, scrolled to the top, where the contents list is. The
// file is looked for, by its exact name, next to the program, in the installed data folder
// (share/zelmak beside the program's bin folder, then the one configured at build time) and
// last in the current folder. A file that is missing or cannot be read shows nothing.
class BrowserHelpViewer : public HelpViewer {
public:
    // The program's folder is QCoreApplication::applicationDirPath().
    BrowserHelpViewer();
    explicit BrowserHelpViewer(QString programFolder);

    void showContents(QWidget* owner, const std::string& helpFile) override;

    // The folders searched, in order.
    QStringList searchFolders() const;
    // The path `showContents` would show, if any.
    std::optional<QString> locate(const QString& helpFile) const;

    // Object names of the help window and its browser, so the window can be found again.
    static constexpr const char* kWindowName = "HelpWindow";
    static constexpr const char* kBrowserName = "HelpBrowser";

private:
    QString m_programFolder;
};

} // namespace zelmak
