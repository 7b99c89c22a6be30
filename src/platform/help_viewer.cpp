#include "help_viewer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWidget>

namespace zelmak {

namespace {

QString decodeHtml(const QByteArray& bytes) {
    // The document names its own character set; without one it is taken as UTF-8.
    QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Utf8);
    return decoder.decode(bytes);
}

QWidget* helpWindowOf(QWidget* owner) {
    if (!owner)
        return nullptr;
    return owner->findChild<QWidget*>(QString::fromLatin1(BrowserHelpViewer::kWindowName),
                                      Qt::FindDirectChildrenOnly);
}

QWidget* createHelpWindow(QWidget* owner) {
    auto* window = new QWidget(owner, Qt::Window);
    window->setObjectName(QString::fromLatin1(BrowserHelpViewer::kWindowName));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QStringLiteral("Zelmak Help"));
    auto* browser = new QTextBrowser(window);
    browser->setObjectName(QString::fromLatin1(BrowserHelpViewer::kBrowserName));
    browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser);
    window->resize(720, 640);
    return window;
}

} // namespace

BrowserHelpViewer::BrowserHelpViewer()
    : BrowserHelpViewer(QCoreApplication::applicationDirPath()) {}

BrowserHelpViewer::BrowserHelpViewer(QString programFolder)
    : m_programFolder(std::move(programFolder)) {}

QStringList BrowserHelpViewer::searchFolders() const {
    QStringList folders;
    auto add = [&folders](const QString& folder) {
        if (folder.isEmpty())
            return;
        const QString clean = QDir::cleanPath(folder);
        if (!folders.contains(clean))
            folders.append(clean);
    };
    if (!m_programFolder.isEmpty()) {
        add(m_programFolder);
        add(m_programFolder + QStringLiteral("/../share/zelmak"));
    }
    add(QStringLiteral(ZELMAK_INSTALL_DATADIR "/zelmak"));
    add(QDir::currentPath());
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
        QFile file(*path);
        if (!file.open(QIODevice::ReadOnly))
            return;
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return;

        QWidget* window = helpWindowOf(owner);
        if (!window)
            window = createHelpWindow(owner);
        auto* browser =
            window->findChild<QTextBrowser*>(QString::fromLatin1(BrowserHelpViewer::kBrowserName));
        browser->setSearchPaths({QFileInfo(*path).absolutePath()});
        browser->setHtml(decodeHtml(bytes));
        browser->verticalScrollBar()->setValue(0);
        window->show();
        window->raise();
        window->activateWindow();
    } catch (...) {
        // Help is a courtesy; a failure to show it is not reported.
    }
}

} // namespace zelmak
