#pragma once

// Answers the real modal dialogs from a timer, as an operator would, so that a test of the real
// dialogs never waits for a click: each file dialog with the next path of a list (an empty one
// cancels) and each message box with the next button of a list. A box that opens with no answer
// left is closed unanswered, and is still noted.

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <vector>

namespace zelmak::test {

class ModalAnswerer {
public:
    struct Box {
        QString caption;
        QString text;
        QMessageBox::Icon icon;
    };

    explicit ModalAnswerer(QStringList paths, QList<QMessageBox::StandardButton> buttons = {})
        : m_paths(std::move(paths)), m_buttons(std::move(buttons)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start(10);
    }

    std::vector<Box> boxes;
    QStringList openedIn; // the folder each file dialog showed when it was answered
    int nativeDialogs = 0;

private:
    void answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            boxes.push_back({box->windowTitle(), box->text(), box->icon()});
            QAbstractButton* button =
                m_buttons.isEmpty() ? nullptr : box->button(m_buttons.takeFirst());
            if (button)
                button->click();
            else
                box->reject();
            return;
        }
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog || !dialog->isVisible() || m_accepting || m_paths.isEmpty())
            return;
        openedIn << dialog->directory().absolutePath();
        if (!dialog->testOption(QFileDialog::DontUseNativeDialog))
            ++nativeDialogs;
        const QString path = m_paths.takeFirst();
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(path);
        // From the event loop, so that this timer can answer a question the dialog asks.
        m_accepting = true;
        QTimer::singleShot(0, dialog, [this, dialog] {
            QMetaObject::invokeMethod(dialog, "accept");
            m_accepting = false;
        });
    }

    QStringList m_paths;
    QList<QMessageBox::StandardButton> m_buttons;
    bool m_accepting = false;
    QTimer m_timer;
};

} // namespace zelmak::test
