#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

class QUrl;
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
// file is looked for, by its exact name, only where the program is installed: next to the
// program, then in the installed data folder (share/zelmak beside the program's bin folder,
// then the one configured at build time); never in the current folder, where anybody may have
// put a file of that name. A file that is missing or cannot be read shows nothing.
//
// The help is read by the file rules of files/file_rules.h: the document and every file it
// names (images, style sheets, further documents behind its links) only when it is a regular
// file inside the help's own folder and within its size limit. Anything else shows nothing.
// Links within the help are followed in the window; web links (http, https, mailto) are handed
// to the desktop's browser; a link of any other kind is not followed. A document whose shape
// would hold the window (help_structure.h) shows one line saying why instead.
class BrowserHelpViewer : public HelpViewer {
public:
    using WebLinkOpener = std::function<void(const QUrl&)>;

    // The program's folder is QCoreApplication::applicationDirPath().
    BrowserHelpViewer();
    // Web links go to `openWebLink`; without one, to QDesktopServices::openUrl.
    explicit BrowserHelpViewer(QString programFolder, WebLinkOpener openWebLink = {});

    void showContents(QWidget* owner, const std::string& helpFile) override;

    // The folders searched, in order.
    QStringList searchFolders() const;
    // The path `showContents` would show, if any.
    std::optional<QString> locate(const QString& helpFile) const;

    // Object names of the help window and its browser, so the window can be found again.
    static constexpr const char* kWindowName = "HelpWindow";
    static constexpr const char* kBrowserName = "HelpBrowser";

    // The largest help document (or style sheet) and the largest image that are shown.
    static constexpr std::size_t kDocumentLimit = std::size_t{4} << 20;
    static constexpr std::size_t kImageLimit = std::size_t{16} << 20;

private:
    QString m_programFolder;
    WebLinkOpener m_openWebLink;
};

} // namespace zelmak
