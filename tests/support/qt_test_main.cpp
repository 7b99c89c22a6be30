// Tests of Qt code run on the offscreen platform unless a display is chosen explicitly.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// A modal window that stays open far longer than any test needs (nobody answers it) fails the
// running test and is closed, so that the test goes on instead of waiting for a click that never
// comes.
class ModalWatchdog {
public:
    explicit ModalWatchdog(int limitMs) : m_limitMs(limitMs) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { look(); });
        m_timer.start(500);
    }

private:
    void look() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != m_seen) {
            m_seen = modal;
            m_since.start();
            return;
        }
        if (!modal || m_since.elapsed() < m_limitMs)
            return;
        ADD_FAILURE() << "the modal window \"" << modal->windowTitle().toStdString()
                      << "\" stayed open for " << m_limitMs / 1000
                      << " s with nobody to answer it; it is closed";
        m_seen = nullptr;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    }

    int m_limitMs;
    QPointer<QWidget> m_seen;
    QElapsedTimer m_since;
    QTimer m_timer;
};

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ModalWatchdog watchdog(60'000);
    return RUN_ALL_TESTS();
}
