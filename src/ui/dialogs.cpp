#include "dialogs.h"

#include "platform/no_stored_settings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

namespace zelmak {

namespace {

// Turns "desc|pattern|desc|pattern" into Qt's "desc (pattern);;desc (pattern)".
QString toQtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString& pattern = parts[i + 1];
        if (description.contains(QLatin1Char('(') + pattern + QLatin1Char(')')))
            filters << description;
        else
            filters << description + QLatin1String(" (") + pattern + QLatin1Char(')');
    }
    return filters.join(QLatin1String(";;"));
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Qt's file dialog, asking its own question before it returns an existing file to save to.
class FileDialog : public QFileDialog {
public:
    FileDialog(QWidget* owner, ReplaceQuestion question)
        : QFileDialog(owner), m_question(std::move(question)) {
        // Qt's own dialog: the desktop's native one may keep a list of recent files.
        setOption(QFileDialog::DontUseNativeDialog);
        setOption(QFileDialog::DontConfirmOverwrite);
    }

protected:
    void accept() override {
        const QStringList files = selectedFiles();
        if (m_question && acceptMode() == AcceptSave && files.size() == 1) {
            const QFileInfo info(files.constFirst());
            // A folder is opened, not returned.
            if (info.exists() && !info.isDir()) {
                const std::string question =
                    m_question(QFile::encodeName(files.constFirst()).toStdString());
                QMessageBox box(QMessageBox::Warning, windowTitle(), fromUtf8(question),
                                QMessageBox::Yes | QMessageBox::No, this);
                box.setDefaultButton(QMessageBox::No);
                if (box.exec() != QMessageBox::Yes)
                    return;
            }
        }
        QFileDialog::accept();
    }

private:
    ReplaceQuestion m_question;
};

// The chosen file's path in the file system's bytes, or nothing when the operator cancels.
std::optional<std::string> runFileDialog(QWidget* owner, QFileDialog::AcceptMode mode,
                                         std::string_view filter, std::string_view proposedName,
                                         const ReplaceQuestion& question,
                                         QtDialogs::Memory& memory) {
    auto& [directory, fileName, filterIndex] = memory;
    FileDialog dialog(owner, question);
    dialog.setAcceptMode(mode);
    // Any typed name comes back, also one that does not exist: the handler that opens it says
    // what is wrong with it, in the program's own words.
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = toQtFilter(fromUtf8(filter)).split(QLatin1String(";;"));
    dialog.setNameFilters(filters);
    if (filterIndex >= 0 && filterIndex < filters.size())
        dialog.selectNameFilter(filters[filterIndex]);
    if (!directory.isEmpty())
        dialog.setDirectory(directory);
    const QString name = proposedName.empty() ? fileName : fromUtf8(proposedName);
    if (!name.isEmpty())
        dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    const QFileInfo info(chosen);
    directory = info.absolutePath();
    fileName = info.fileName();
    filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    return QFile::encodeName(chosen).toStdString();
}

} // namespace

QtDialogs::QtDialogs() {
    storeNoSettings();
}

std::optional<std::string> QtDialogs::runOpenDialog(std::string_view filter) {
    return runFileDialog(owner, QFileDialog::AcceptOpen, filter, {}, {}, m_open);
}

std::optional<std::string> QtDialogs::runSaveDialog(std::string_view filter,
                                                    std::string_view proposedName,
                                                    const ReplaceQuestion& question) {
    return runFileDialog(owner, QFileDialog::AcceptSave, filter, proposedName, question, m_save);
}

bool QtDialogs::confirmReplace(std::string_view path) {
    // The same question the file dialog asks about the name it returns.
    const QString name = QFile::decodeName(QByteArray(path.data(), qsizetype(path.size())));
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(),
                    QStringLiteral("%1 already exists.\nDo you want to replace it?")
                        .arg(QDir::toNativeSeparators(name)),
                    QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtDialogs::errorBox(const QString& message) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), message,
                    QMessageBox::Ok, owner);
    box.exec();
}

void QtDialogs::applicationErrorBox(const QString& message) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Anwendungsfehler"), message,
                    QMessageBox::Ok);
    box.exec();
}

} // namespace zelmak
