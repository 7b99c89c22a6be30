#include "converter_window.h"

#include "files/file_error.h"
#include "files/file_rules.h"
#include "files/text_conversion.h"
#include "files/text_files.h"
#include "letter_text.h"
#include "platform/no_stored_settings.h"
#include "ui/run_pane.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

#include <system_error>

namespace zelmak {

namespace {

const QString kFilter = QStringLiteral("Text files (*.txt);;All files (*)");

const QString kSuffix = QStringLiteral("txt");

// The letter pane takes pasted and dropped text as a file's: a character beyond ISO 8859-1
// becomes one kNoLatin1, so that it is counted once, like any other character without a key.
class LetterPane : public RunPane {
public:
    using RunPane::RunPane;

protected:
    void insertFromMimeData(const QMimeData* source) override {
        if (!source || !source->hasText()) {
            RunPane::insertFromMimeData(source);
            return;
        }
        QMimeData latin1;
        const std::string text = toPaneText(source->text());
        latin1.setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
        RunPane::insertFromMimeData(&latin1);
    }
};

// Qt adds the default suffix to every name without a dot, also to one at which a file stands:
// "/dev/full" would become a new file "/dev/full.txt". Here only a new name gets it, and Qt then
// asks before a file standing at the name is replaced.
class SaveDialog : public QFileDialog {
public:
    SaveDialog(QWidget* parent, const QString& folder)
        : QFileDialog(parent, QStringLiteral("Save Result"), folder, kFilter) {}

protected:
    void accept() override {
        setDefaultSuffix(QString());
        const QStringList typed = selectedFiles();
        const bool taken = typed.size() == 1 && (QFileInfo(typed.front()).exists() ||
                                                 QFileInfo(typed.front()).isSymLink());
        setDefaultSuffix(taken ? QString() : kSuffix);
        QFileDialog::accept();
    }
};

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
    SaveDialog dialog(parent, m_folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDefaultSuffix(kSuffix);
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
      m_inputPane(new LetterPane(this)), m_resultPane(new RunPane(this)),
      m_statusLabel(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Zelmak Converter"));
    m_openButton->setObjectName(QStringLiteral("openButton"));
    m_convertButton->setObjectName(QStringLiteral("convertButton"));
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    m_inputPane->setObjectName(QStringLiteral("inputPane"));
    m_resultPane->setObjectName(QStringLiteral("resultPane"));
    m_statusLabel->setObjectName(QStringLiteral("statusLabel"));

    // Both are texts to be read from their start, broken at blanks as a letter is.
    for (RunPane* pane : {m_inputPane, m_resultPane}) {
        pane->setWrapAtBlanks(true);
        pane->setFollowsEnd(false);
    }
    m_resultPane->setReadOnly(true);
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
    connect(m_inputPane, &RunPane::operatorEdited, this, &ConverterWindow::dropResult);
    setStatus(QStringLiteral("Open a text file or type a text, then press Convert."));
}

ConverterWindow::~ConverterWindow() = default;

QString ConverterWindow::statusText() const {
    return m_statusLabel->text();
}

void ConverterWindow::setStatus(const QString& text) {
    m_statusLabel->setText(text);
}

void ConverterWindow::dropResult() {
    m_resultPane->clearText();
    m_saveButton->setEnabled(false);
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
    const LetterText letter = readLetter(file.bytes);
    dropResult();
    m_inputPane->showText(letter.latin1);
    const bool utf8 = letter.encoding == LetterText::Encoding::Utf8;
    QString status =
        QStringLiteral("Opened %1 as %2: %3")
            .arg(QFileInfo(*path).fileName(),
                 utf8 ? QStringLiteral("UTF-8") : QStringLiteral("ISO 8859-1 (it is not UTF-8)"),
                 characters(letter.characters));
    if (letter.withoutLatin1 > 0)
        status += QStringLiteral(", %1 without an ISO 8859-1 form (shown as %2)")
                      .arg(letter.withoutLatin1)
                      .arg(QLatin1Char(kNoLatin1));
    setStatus(status + QLatin1Char('.'));
}

void ConverterWindow::convert() {
    const ConvertedText result = convertForMachine(m_inputPane->text8());
    if (result.text.size() > kTextLimit) {
        // Such a result could be saved, but never loaded into the machine.
        dropResult();
        setStatus(QStringLiteral("The result would have %1, more than the %2 the machine loads.")
                      .arg(characters(result.text.size()), kTextLimitShown));
        return;
    }
    m_resultPane->showText(result.text);
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
    const std::string bytes = m_resultPane->text8();
    try {
        writeTextFile(QFile::encodeName(*path).toStdString(), bytes);
    } catch (const TextFileError& e) {
        setStatus(
            e.systemError()
                ? QStringLiteral("Cannot write %1: %2.").arg(shown, systemMessage(e.systemError()))
                : QStringLiteral("Cannot write %1.").arg(shown));
        return;
    }
    setStatus(QStringLiteral("Saved %1 to %2.").arg(characters(bytes.size()), shown));
}

} // namespace zelmak
