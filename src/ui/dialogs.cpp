#include "dialogs.h"

#include "platform/no_stored_settings.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

namespace zelmak {

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

namespace {

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
                QMessageBox box(QMessageBox::Warning, windowTitle(), m_question(files.constFirst()),
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

std::optional<QString> runFileDialog(QWidget* owner, QFileDialog::AcceptMode mode,
                                     const QString& filter, const QString& proposedName,
                                     const ReplaceQuestion& askBeforeReplacing,
                                     QtDialogs::Memory& memory) {
    auto& [directory, fileName, filterIndex] = memory;
    FileDialog dialog(owner, askBeforeReplacing);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    const QStringList filters = toQtFilter(filter).split(QLatin1String(";;"));
    dialog.setNameFilters(filters);
    if (filterIndex >= 0 && filterIndex < filters.size())
        dialog.selectNameFilter(filters[filterIndex]);
    if (!directory.isEmpty())
        dialog.setDirectory(directory);
    const QString name = proposedName.isEmpty() ? fileName : proposedName;
    if (!name.isEmpty())
        dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    const QFileInfo info(chosen);
    directory = info.absolutePath();
    fileName = info.fileName();
    filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    return chosen;
}

} // namespace

QtDialogs::QtDialogs() {
    storeNoSettings();
}

std::optional<QString> QtDialogs::openFile(QWidget* owner, const QString& filter) {
    return runFileDialog(owner, QFileDialog::AcceptOpen, filter, QString(), {}, m_open);
}

std::optional<QString> QtDialogs::saveFile(QWidget* owner, const QString& filter,
                                           const QString& proposedName,
                                           const ReplaceQuestion& askBeforeReplacing) {
    return runFileDialog(owner, QFileDialog::AcceptSave, filter, proposedName, askBeforeReplacing,
                         m_save);
}

bool QtDialogs::confirmReplace(QWidget* owner, const QString& path) {
    // The same question the file dialog asks about the name it returns.
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(),
                    QStringLiteral("%1 already exists.\nDo you want to replace it?")
                        .arg(QDir::toNativeSeparators(path)),
                    QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtDialogs::errorBox(QWidget* owner, const QString& message) {
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
