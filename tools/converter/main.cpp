// The converter: turns ordinary text into text that Zelmak can key.
#include "converter_window.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zelmak Converter"));
    zelmak::ConverterWindow window;
    window.show();
    return QApplication::exec();
}
