#include "startup.h"

#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSvgRenderer>
#include <QWindow>
#include <cxxabi.h>
#include <typeinfo>

namespace zelmak {

namespace {

// The name of the desktop entry and of its icon.
constexpr const char* kDesktopFileName = "io.github.zelmak.Zelmak";

QString typeName(const std::type_info& type) {
    int status = 0;
    char* demangled = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    QString name = QString::fromLatin1(status == 0 && demangled ? demangled : type.name());
    std::free(demangled);
    return name;
}

// The intro window must be fully drawn before the slow part begins; a window system shows a new
// window only once it has mapped it, so wait (briefly) for that before painting.
void drawNow(QWidget& window) {
    QElapsedTimer timer;
    timer.start();
    while (window.windowHandle() && !window.windowHandle()->isExposed() && timer.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    window.repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

void Startup::identifyToDesktop() {
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    QSvgRenderer svg(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(kDesktopFileName)));
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        svg.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    QApplication::setWindowIcon(icon);
}

QString Startup::fatalErrorText(const QString& kind, const QString& position,
                                const QString& message) {
    QString text = QStringLiteral("Ausnahme %1 im Modul %2 bei %3.\n%4")
                       .arg(kind, QCoreApplication::applicationFilePath(), position, message);
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    return text;
}

std::unique_ptr<TForm1> Startup::build(const MainWindowFactory& createMainWindow,
                                       QString& helpFile) {
    QString position = QStringLiteral("Intro");
    try {
        identifyToDesktop();
        // The intro is removed whether or not the main window could be built.
        auto intro = std::make_unique<TStart>();
        intro->show();
        intro->centre(); // now that the frame is known
        intro->raise();
        drawNow(*intro);

        position = QStringLiteral("Titel");
        QApplication::setApplicationName(QStringLiteral("Zelmak"));
        helpFile = QStringLiteral("ZELMAK.hlp");

        position = QStringLiteral("Form1");
        std::unique_ptr<TForm1> form = createMainWindow();
        intro.reset();
        return form;
    } catch (const std::exception& e) {
        m_dialogs.applicationErrorBox(
            fatalErrorText(typeName(typeid(e)), position, QString::fromUtf8(e.what())));
    } catch (...) {
        m_dialogs.applicationErrorBox(
            fatalErrorText(QStringLiteral("unbekannt"), position, QStringLiteral("Fehler")));
    }
    return nullptr;
}

Startup::MainWindowFactory Startup::mainWindow(const FormServices& services) {
    return [services] {
        auto window = std::make_unique<TForm1>(services);
        window->FormCreate();
        return window;
    };
}

int Startup::run(TForm1& mainWindow) {
    mainWindow.show();
    mainWindow.activateWindow();
    // The focus starts on the first control of the tab order, the key I.
    if (auto* first = mainWindow.findChild<QPushButton*>(QStringLiteral("Button1")))
        first->setFocus(Qt::OtherFocusReason);
    return QApplication::exec();
}

} // namespace zelmak
