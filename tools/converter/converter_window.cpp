#include "converter_window.h"

#include "files/text_conversion.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

namespace zelmak {

namespace {

const QString kFilter = QStringLiteral("Text files (*.txt);;All files (*)");

// The pane's text as ISO 8859-1 bytes, one byte per character; a character beyond
// ISO 8859-1 (typed or pasted into the pane) becomes a byte that the conversion drops,
// so that it is counted once, like any other character without a key.
std::string toLatin1(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const char32_t c : text.toUcs4())
        bytes += c <= 0xFF ? static_cast<char>(static_cast<unsigned char>(c)) : '\x1A';
    return bytes;
}

QString characters(std::size_t n) {
    return n == 1 ? QStringLiteral("1 character") : QStringLiteral("%1 characters").arg(n);
}

} // namespace

std::optional<QString> FileConverterDialogs::openTextFile(QWidget* parent) {
    const QString path =
        QFileDialog::getOpenFileName(parent, QStringLiteral("Open Text"), m_folder, kFilter);
    if (path.isEmpty())
        return std::nullopt;
    m_folder = QFileInfo(path).absolutePath();
    return path;
}

std::optional<QString> FileConverterDialogs::saveTextFile(QWidget* parent,
                                                          const QString& proposed) {
    QFileDialog dialog(parent, QStringLiteral("Save Result"), m_folder, kFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString path = dialog.selectedFiles().constFirst();
    m_folder = QFileInfo(path).absolutePath();
    return path;
}

ConverterWindow::ConverterWindow(std::unique_ptr<ConverterDialogs> dialogs, QWidget* parent)
    : QWidget(parent),
      m_dialogs(dialogs ? std::move(dialogs) : std::make_unique<FileConverterDialogs>()),
      m_openButton(new QPushButton(QStringLiteral("&Open Text..."), this)),
      m_convertButton(new QPushButton(QStringLiteral("&Convert"), this)),
      m_saveButton(new QPushButton(QStringLiteral("&Save Result..."), this)),
      m_inputPane(new QPlainTextEdit(this)), m_resultPane(new QPlainTextEdit(this)),
      m_statusLabel(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Zelmak Converter"));
    m_openButton->setObjectName(QStringLiteral("openButton"));
    m_convertButton->setObjectName(QStringLiteral("convertButton"));
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    m_inputPane->setObjectName(QStringLiteral("inputPane"));
    m_resultPane->setObjectName(QStringLiteral("resultPane"));
    m_statusLabel->setObjectName(QStringLiteral("statusLabel"));

    m_resultPane->setReadOnly(true);
    m_resultPane->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_saveButton->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_openButton);
    buttons->addWidget(m_convertButton);
    buttons->addWidget(m_saveButton);
    buttons->addStretch();
    auto* inputLabel = new QLabel(QStringLiteral("&Text:"), this);
    inputLabel->setBuddy(m_inputPane);
    auto* resultLabel = new QLabel(QStringLiteral("&Result for the machine:"), this);
    resultLabel->setBuddy(m_resultPane);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(inputLabel);
    layout->addWidget(m_inputPane, 1);
    layout->addWidget(resultLabel);
    layout->addWidget(m_resultPane, 1);
    layout->addWidget(m_statusLabel);
    resize(640, 520);

    connect(m_openButton, &QPushButton::clicked, this, &ConverterWindow::openFile);
    connect(m_convertButton, &QPushButton::clicked, this, &ConverterWindow::convert);
    connect(m_saveButton, &QPushButton::clicked, this, &ConverterWindow::saveResult);
    // A result that no longer matches the text must not be saved by mistake.
    connect(m_inputPane, &QPlainTextEdit::textChanged, this, [this] {
        m_resultPane->clear();
        m_saveButton->setEnabled(false);
    });
    setStatus(QStringLiteral("Open a text file or type a text, then press Convert."));
}

ConverterWindow::~ConverterWindow() = default;

QString ConverterWindow::statusText() const {
    return m_statusLabel->text();
}

void ConverterWindow::setStatus(const QString& text) {
    m_statusLabel->setText(text);
}

void ConverterWindow::openFile() {
    const auto path = m_dialogs->openTextFile(this);
    if (!path)
        return;
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly)) {
        setStatus(QStringLiteral("Cannot open %1.").arg(QDir::toNativeSeparators(*path)));
        return;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setStatus(QStringLiteral("Cannot read %1.").arg(QDir::toNativeSeparators(*path)));
        return;
    }
    m_openedPath = *path;
    QString text = QString::fromLatin1(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_inputPane->setPlainText(text);
    setStatus(
        QStringLiteral("Opened %1: %2.")
            .arg(QFileInfo(*path).fileName(), characters(static_cast<std::size_t>(bytes.size()))));
}

void ConverterWindow::convert() {
    const ConvertedText result = convertForMachine(toLatin1(m_inputPane->toPlainText()));
    m_resultPane->setPlainText(QString::fromLatin1(result.text));
    m_saveButton->setEnabled(!result.text.empty());
    setStatus(QStringLiteral("Converted: %1 for the machine, %2 dropped.")
                  .arg(characters(result.text.size()), characters(result.dropped)));
}

void ConverterWindow::saveResult() {
    const QString proposed = m_openedPath.isEmpty()
                                 ? QStringLiteral("converted.txt")
                                 : QFileInfo(m_openedPath)
                                       .dir()
                                       .filePath(QFileInfo(m_openedPath).completeBaseName() +
                                                 QStringLiteral("-converted.txt"));
    const auto path = m_dialogs->saveTextFile(this, proposed);
    if (!path)
        return;
    const QString shown = QDir::toNativeSeparators(*path);
    // A read-only file stays as it is, even for an operator who could force it.
    // (As root the user may write anything, so a file without any write bit counts too.)
    const QFileInfo info(*path);
    const auto perms = info.permissions();
    const bool readOnly =
        !(perms & QFileDevice::WriteUser) ||
        !(perms & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther));
    if (info.exists() && readOnly) {
        setStatus(QStringLiteral("Cannot write %1: the file is read-only.").arg(shown));
        return;
    }
    const QByteArray bytes = m_resultPane->toPlainText().toLatin1();
    QSaveFile file(*path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        setStatus(QStringLiteral("Cannot write %1.").arg(shown));
        return;
    }
    setStatus(QStringLiteral("Saved %1 to %2.")
                  .arg(characters(static_cast<std::size_t>(bytes.size())), shown));
}

} // namespace zelmak
