#pragma once

// Answers the real modal dialogs from a timer, as an operator would, so that a test of the real
// dialogs never waits for a click: each file dialog with the next path of a list (an empty one
// cancels) and each message box with the next button of a list. A box that opens with no answer
// left is closed unanswered, and is still noted.
//
// A path counts as used only once the dialog it was typed into has closed or has asked a
// question about it; a dialog that is still open and asked nothing gets the same path again (an
// answer can come before the dialog is ready for it). A file dialog that stays open past the
// deadline, with or without a path for it, fails the test and is closed, so that the test goes on
// instead of hanging.

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <vector>

namespace zelmak::test {

class ModalAnswerer {
public:
    struct Box {
        QString caption;
        QString text;
        QMessageBox::Icon icon;
    };

    explicit ModalAnswerer(QStringList paths, QList<QMessageBox::StandardButton> buttons = {},
                           int deadlineMs = 20'000)
        : m_paths(std::move(paths)), m_buttons(std::move(buttons)), m_deadlineMs(deadlineMs) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start(10);
    }

    std::vector<Box> boxes;
    QStringList openedIn; // the folder each file dialog showed when first answered
    int nativeDialogs = 0;

private:
    void answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            answerBox(*box);
            return;
        }
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog || !dialog->isVisible() || m_accepting)
            return;
        if (dialog != m_answering && !m_paths.isEmpty()) {
            m_answering = dialog;
            m_path = m_paths.takeFirst();
            m_since.start();
            openedIn << dialog->directory().absolutePath();
            if (!dialog->testOption(QFileDialog::DontUseNativeDialog))
                ++nativeDialogs;
            QObject::connect(dialog, &QDialog::finished, &m_timer,
                             [this] { m_answering = nullptr; });
        } else if (dialog != m_answering) {
            // No answer left here; another answerer may have one. Only waiting is noted.
            if (dialog != m_unanswered) {
                m_unanswered = dialog;
                m_since.start();
            } else if (m_since.elapsed() > m_deadlineMs) {
                fail(*dialog, "opened with no answer left");
            }
            return;
        } else if (m_since.elapsed() > m_deadlineMs) {
            fail(*dialog, "took no answer (" + m_path.toStdString() + ")");
            return;
        }
        if (m_path.isEmpty()) {
            dialog->reject();
            return;
        }
        // Typed into the name field itself, with nothing picked in the file list (which would
        // count first): selectFile() leaves the field alone while it has the focus, so an answer
        // given then would be lost.
        for (auto* list : dialog->findChildren<QAbstractItemView*>())
            if (list->selectionModel())
                list->selectionModel()->clear();
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            name->setText(m_path);
        else
            dialog->selectFile(m_path);
        // From the event loop, so that this timer can answer a question the dialog asks.
        m_accepting = true;
        QTimer::singleShot(0, dialog, [this, dialog] {
            QMetaObject::invokeMethod(dialog, "accept");
            m_accepting = false;
        });
    }

    void fail(QFileDialog& dialog, const std::string& why) {
        ADD_FAILURE() << "a file dialog (" << dialog.windowTitle().toStdString() << ") " << why
                      << " within " << m_deadlineMs / 1000 << " s; it is cancelled";
        m_answering = nullptr;
        m_unanswered = nullptr;
        dialog.reject();
    }

    void answerBox(QMessageBox& box) {
        // A question the file dialog asks about its answer uses that answer up.
        if (m_answering && box.parentWidget() == m_answering)
            m_answering = nullptr;
        boxes.push_back({box.windowTitle(), box.text(), box.icon()});
        QAbstractButton* button = m_buttons.isEmpty() ? nullptr : box.button(m_buttons.takeFirst());
        if (button)
            button->click();
        else
            box.reject();
    }

    QStringList m_paths;
    QList<QMessageBox::StandardButton> m_buttons;
    int m_deadlineMs;
    QPointer<QFileDialog> m_answering;  // the dialog that has m_path and has not closed yet
    QPointer<QFileDialog> m_unanswered; // a dialog seen when no path was left
    QString m_path;
    QElapsedTimer m_since; // since m_answering got its path, or m_unanswered was seen
    bool m_accepting = false;
    QTimer m_timer;
};

} // namespace zelmak::test
