#include "converter_window.h"

#include "files/file_error.h"
#include "files/file_rules.h"
#include "files/text_conversion.h"
#include "files/text_files.h"
#include "platform/no_stored_settings.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <system_error>

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

// The converter reads and writes by the same rules as the main window's "Loade CipherCode": a
// text the machine could not load is neither opened nor made.
constexpr std::size_t kTextLimit = kLoadedTextCapacity;
constexpr QLatin1String kTextLimitShown("16 MiB");
static_assert(kTextLimit == std::size_t{16} << 20);

QString systemMessage(int err) {
    return QString::fromStdString(std::generic_category().message(err));
}

QString characters(std::size_t n) {
    return n == 1 ? QStringLiteral("1 character") : QStringLiteral("%1 characters").arg(n);
}

} // namespace

FileConverterDialogs::FileConverterDialogs() {
    storeNoSettings();
}

std::optional<QString> FileConverterDialogs::openTextFile(QWidget* parent) {
    // Qt's own dialog, which keeps nothing after the session (see storeNoSettings).
    const QString path =
        QFileDialog::getOpenFileName(parent, QStringLiteral("Open Text"), m_folder, kFilter,
                                     nullptr, QFileDialog::DontUseNativeDialog);
    if (path.isEmpty())
        return std::nullopt;
    m_folder = QFileInfo(path).absolutePath();
    return path;
}

std::optional<QString> FileConverterDialogs::saveTextFile(QWidget* parent,
                                                          const QString& proposed) {
    QFileDialog dialog(parent, QStringLiteral("Save Result"), m_folder, kFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
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
    const QString shown = QDir::toNativeSeparators(*path);
    const FileRead file = readRegularFile(QFile::encodeName(*path).toStdString(), kTextLimit);
    switch (file.outcome) {
    case FileRead::Outcome::Read:
        break;
    case FileRead::Outcome::Failed:
        setStatus(
            QStringLiteral("Cannot open %1: %2.").arg(shown, systemMessage(file.systemError)));
        return;
    case FileRead::Outcome::NotRegular:
        setStatus(QStringLiteral("Cannot open %1: it is not a regular file.").arg(shown));
        return;
    case FileRead::Outcome::TooLarge:
        setStatus(
            QStringLiteral("Cannot open %1: it is larger than %2, the most the machine loads.")
                .arg(shown, kTextLimitShown));
        return;
    }
    m_openedPath = *path;
    QString text =
        QString::fromLatin1(file.bytes.data(), static_cast<qsizetype>(file.bytes.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_inputPane->setPlainText(text);
    setStatus(QStringLiteral("Opened %1: %2.")
                  .arg(QFileInfo(*path).fileName(), characters(file.bytes.size())));
}

void ConverterWindow::convert() {
    const ConvertedText result = convertForMachine(toLatin1(m_inputPane->toPlainText()));
    if (result.text.size() > kTextLimit) {
        // Such a result could be saved, but never loaded into the machine.
        m_resultPane->clear();
        m_saveButton->setEnabled(false);
        setStatus(QStringLiteral("The result would have %1, more than the %2 the machine loads.")
                      .arg(characters(result.text.size()), kTextLimitShown));
        return;
    }
    m_resultPane->setPlainText(
        QString::fromLatin1(result.text.data(), static_cast<qsizetype>(result.text.size())));
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
    const QByteArray bytes = m_resultPane->toPlainText().toLatin1();
    try {
        writeTextFile(QFile::encodeName(*path).toStdString(),
                      std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } catch (const TextFileError& e) {
        setStatus(
            e.systemError()
                ? QStringLiteral("Cannot write %1: %2.").arg(shown, systemMessage(e.systemError()))
                : QStringLiteral("Cannot write %1.").arg(shown));
        return;
    }
    setStatus(QStringLiteral("Saved %1 to %2.")
                  .arg(characters(static_cast<std::size_t>(bytes.size())), shown));
}

} // namespace zelmak
