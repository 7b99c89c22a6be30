#include "help_viewer.h"
#include "help_structure.h"
#include "search_folders.h"

#include "files/file_rules.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextOption>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

namespace zelmak {

namespace {

std::string fileName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString decodeHtml(const QByteArray& bytes) {
    // The document names its own character set; without one it is taken as UTF-8.
    QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Utf8);
    return decoder.decode(bytes);
}

// The browser of the help window. It reads every file itself, by the file rules: the toolkit's
// own loading would open a pipe and wait, read a device without end, and look in the current
// folder.
class HelpBrowser : public QTextBrowser {
public:
    HelpBrowser(QWidget* parent, BrowserHelpViewer::WebLinkOpener openWebLink)
        : QTextBrowser(parent), m_openWebLink(std::move(openWebLink)) {
        setObjectName(QString::fromLatin1(BrowserHelpViewer::kBrowserName));
        setOpenLinks(false);
        // A word wider than the window runs past its edge: cut anywhere, a long word would
        // take the toolkit time that grows with the square of its length.
        setWordWrapMode(QTextOption::WordWrap);
        connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::follow);
    }

    // Shows a document that has been read, or one line on why not; the files it names are
    // looked for beside it, and must lie inside `folder`.
    void showDocument(const QString& path, const QString& folder, const std::string& bytes,
                      const QString& fragment) {
        m_document = path;
        m_folder = folder;
        const QString html = decodeHtml(QByteArray::fromStdString(bytes));
        HelpStructure structure = measureHelpStructure(html);
        std::optional<QString> refusal = helpStructureRefusal(structure);
        if (!refusal) {
            // Read into a document of its own (its files still come through loadResource),
            // whose tables are looked at before anything is laid out.
            auto* read = new QTextDocument(this);
            read->setBaseUrl(QUrl::fromLocalFile(path));
            QTextOption option = read->defaultTextOption();
            option.setWrapMode(QTextOption::WordWrap);
            read->setDefaultTextOption(option);
            m_styleSelectors = structure.styleSelectors;
            read->setHtml(html);
            measureHelpTables(*read, structure);
            refusal = helpStructureRefusal(structure);
            if (!refusal) {
                setDocument(read); // the document shown before goes
                showPlace(fragment);
                return;
            }
            delete read;
        }
        setPlainText(*refusal);
    }

protected:
    QVariant loadResource(int type, const QUrl& name) override {
        const bool image = type == QTextDocument::ImageResource;
        if (const auto path = insideFile(name)) {
            const FileRead file =
                readRegularFile(fileName(*path), image ? BrowserHelpViewer::kImageLimit
                                                       : BrowserHelpViewer::kDocumentLimit);
            if (file.ok() && type == QTextDocument::StyleSheetResource) {
                // The style sheets of a document share one limit of selectors.
                m_styleSelectors += countStyleSelectors(QString::fromLatin1(file.bytes));
                if (m_styleSelectors > HelpLimits::kStyleSelectors)
                    return QByteArray("");
            }
            if (file.ok())
                return QByteArray::fromStdString(file.bytes);
        }
        // Nothing to show; but an answer all the same, or the document would go and read the
        // file itself.
        if (image) {
            QImage nothing(1, 1, QImage::Format_ARGB32);
            nothing.fill(Qt::transparent);
            return nothing;
        }
        return QByteArray("");
    }

private:
    // The local file a URL names, resolved against the document's folder; nothing for any
    // other kind of URL.
    std::optional<QString> localFile(const QUrl& url) const {
        if (!(url.scheme().isEmpty() || url.scheme() == QLatin1String("file")) ||
            !url.host().isEmpty())
            return std::nullopt;
        const QString path = url.path(QUrl::FullyDecoded);
        if (path.isEmpty())
            return std::nullopt;
        return QDir::cleanPath(QFileInfo(m_document).dir().absoluteFilePath(path));
    }

    std::optional<QString> insideFile(const QUrl& url) const {
        const auto path = localFile(url);
        if (!path || !liesInside(fileName(*path), fileName(m_folder)))
            return std::nullopt;
        return path;
    }

    void follow(const QUrl& link) {
        const QString scheme = link.scheme();
        if (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
            scheme == QLatin1String("mailto")) {
            if (m_openWebLink)
                m_openWebLink(link);
            return;
        }
        if (scheme.isEmpty() && link.path().isEmpty()) {
            scrollToAnchor(link.fragment(QUrl::FullyDecoded));
            return;
        }
        const QString fragment = link.fragment(QUrl::FullyDecoded);
        if (localFile(link) == m_document) {
            showPlace(fragment);
            return;
        }
        const auto path = insideFile(link);
        if (!path)
            return;
        const FileRead file = readRegularFile(fileName(*path), BrowserHelpViewer::kDocumentLimit);
        if (file.ok())
            showDocument(*path, m_folder, file.bytes, fragment);
    }

    // The top of the document, or the anchor named.
    void showPlace(const QString& fragment) {
        if (fragment.isEmpty())
            verticalScrollBar()->setValue(0);
        else
            scrollToAnchor(fragment);
    }

    BrowserHelpViewer::WebLinkOpener m_openWebLink;
    QString m_document;               // the document shown
    QString m_folder;                 // the help's own folder
    std::size_t m_styleSelectors = 0; // of the document being read, so far
};

HelpBrowser* helpBrowserOf(QWidget* owner) {
    if (!owner)
        return nullptr;
    QWidget* window = owner->findChild<QWidget*>(
        QString::fromLatin1(BrowserHelpViewer::kWindowName), Qt::FindDirectChildrenOnly);
    if (!window)
        return nullptr;
    return dynamic_cast<HelpBrowser*>(
        window->findChild<QTextBrowser*>(QString::fromLatin1(BrowserHelpViewer::kBrowserName)));
}

HelpBrowser* createHelpWindow(QWidget* owner, const BrowserHelpViewer::WebLinkOpener& openWeb) {
    auto* window = new QWidget(owner, Qt::Window);
    window->setObjectName(QString::fromLatin1(BrowserHelpViewer::kWindowName));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QStringLiteral("Zelmak Help"));
    auto* browser = new HelpBrowser(window, openWeb);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser);
    window->resize(720, 640);
    return browser;
}

} // namespace

BrowserHelpViewer::BrowserHelpViewer()
    : BrowserHelpViewer(QCoreApplication::applicationDirPath()) {}

BrowserHelpViewer::BrowserHelpViewer(QString programFolder, WebLinkOpener openWebLink)
    : m_programFolder(std::move(programFolder)), m_openWebLink(std::move(openWebLink)) {
    if (!m_openWebLink)
        m_openWebLink = [](const QUrl& url) { QDesktopServices::openUrl(url); };
}

QStringList BrowserHelpViewer::searchFolders() const {
    QStringList folders;
    auto add = [&folders](const QString& folder) { addSearchFolder(folders, folder); };
    if (!m_programFolder.isEmpty()) {
        add(m_programFolder);
        add(m_programFolder + QStringLiteral("/../share/zelmak"));
    }
    add(QStringLiteral(ZELMAK_INSTALL_DATADIR "/zelmak"));
    return folders;
}

std::optional<QString> BrowserHelpViewer::locate(const QString& helpFile) const {
    if (helpFile.isEmpty())
        return std::nullopt;
    if (QDir::isAbsolutePath(helpFile)) {
        const QFileInfo info(helpFile);
        return info.isFile() ? std::optional<QString>(helpFile) : std::nullopt;
    }
    for (const QString& folder : searchFolders()) {
        // Exact name only: "zelmak.hlp" is a different file from "ZELMAK.HLP".
        const QFileInfo info(QDir(folder), helpFile);
        if (info.isFile())
            return info.filePath();
    }
    return std::nullopt;
}

void BrowserHelpViewer::showContents(QWidget* owner, const std::string& helpFile) {
    try {
        const auto path = locate(QString::fromStdString(helpFile));
        if (!path)
            return;
        const FileRead file = readRegularFile(fileName(*path), kDocumentLimit);
        if (!file.ok())
            return;

        HelpBrowser* browser = helpBrowserOf(owner);
        if (!browser)
            browser = createHelpWindow(owner, m_openWebLink);
        browser->showDocument(*path, QFileInfo(*path).absolutePath(), file.bytes, QString());
        QWidget* window = browser->window();
        window->show();
        window->raise();
        window->activateWindow();
    } catch (...) {
        // Help is a courtesy; a failure to show it is not reported.
    }
}

} // namespace zelmak
