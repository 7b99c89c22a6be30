#pragma once

// Answers Qt's own file dialog as an operator does: goes to the folder of the next name of a
// list, types the file name into the dialog's name field and accepts. (QFileDialog::selectFile
// leaves the field alone once it has the focus, so a name chosen that way is not always the
// one accepted.) An empty name, or none left, cancels the dialog, and so does the deadline:
// a test never waits on a dialog. Message boxes are left to a ModalAnswerer.

#include <QApplication>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QTimer>

namespace zelmak::test {

class FileNameTypist {
public:
    explicit FileNameTypist(QStringList names, int deadlineMs = 30000)
        : m_names(std::move(names)), m_deadline(deadlineMs) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start(10);
    }

    bool timedOut = false;
    bool foundNoNameField = false;

private:
    void answer() {
        if (m_deadline.hasExpired()) {
            if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                timedOut = true;
                modal->reject();
            }
            return;
        }
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || m_accepting)
            return;
        auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        foundNoNameField = foundNoNameField || !field;
        const QString name = m_names.isEmpty() ? QString() : m_names.takeFirst();
        if (name.isEmpty() || !field) {
            dialog->reject();
            return;
        }
        const QFileInfo info(name);
        dialog->setDirectory(info.absolutePath());
        field->setText(info.fileName());
        // From the event loop, so that a question the dialog asks can be answered meanwhile.
        m_accepting = true;
        QTimer::singleShot(0, dialog, [this, dialog] {
            QMetaObject::invokeMethod(dialog, "accept");
            m_accepting = false;
        });
    }

    QStringList m_names;
    QDeadlineTimer m_deadline;
    bool m_accepting = false;
    QTimer m_timer;
};

} // namespace zelmak::test
