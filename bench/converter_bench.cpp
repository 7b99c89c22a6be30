// Figures for the converter's window with the largest letters it opens (16 MiB by default): the
// time from "Open Text..." until the text is shown and painted, and from "Convert" until the
// result is. Each letter runs in a process of its own, so that its peak memory is its own.
// Prints milliseconds. Runs on Qt's offscreen platform unless a platform is chosen.
// usage: zelmak_converter_bench [MiB]   (16 by default; fractions such as 0.25 too)
#include "converter_window.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

namespace {

using zelmak::bench::cpuMs;
using zelmak::bench::germanLetter;
using zelmak::bench::peakMiB;

// Always opens the same file; saving is not measured.
struct OneFile : zelmak::ConverterDialogs {
    explicit OneFile(QString file) : path(std::move(file)) {}
    std::optional<QString> openTextFile(QWidget*) override { return path; }
    std::optional<QString> saveTextFile(QWidget*, const QString&) override { return {}; }
    QString path;
};

template <typename T> T* child(QWidget& window, const char* name) {
    return window.findChild<T*>(QString::fromLatin1(name));
}

int run(int argc, char** argv, const char* name, const std::string& bytes) {
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("letter.txt"));
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
    zelmak::ConverterWindow window(std::make_unique<OneFile>(path));
    window.show();
    QApplication::processEvents();

    QElapsedTimer wall;
    double cpu = cpuMs();
    wall.start();
    child<QPushButton>(window, "openButton")->click();
    QApplication::processEvents();
    window.grab();
    const double opened = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    const double openCpu = cpuMs() - cpu;
    const QString openStatus = window.statusText();

    cpu = cpuMs();
    wall.restart();
    child<QPushButton>(window, "convertButton")->click();
    QApplication::processEvents();
    window.grab();
    const double converted = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    const double convertCpu = cpuMs() - cpu;

    std::printf("%-34s open %6.0f ms (cpu %6.0f), convert %6.0f ms (cpu %6.0f), peak %4.0f MiB,"
                " result %d blocks\n    %s\n    %s\n",
                name, opened, openCpu, converted, convertCpu, peakMiB(),
                child<QPlainTextEdit>(window, "resultPane")->document()->blockCount(),
                qPrintable(openStatus), qPrintable(window.statusText()));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const double mib = argc > 1 ? std::strtod(argv[1], nullptr) : 16;
    const auto size = static_cast<std::size_t>(mib * 1024 * 1024);
    struct Case {
        const char* name;
        char run; // a letter repeated, or 0 for words
        std::size_t lineLength;
        bool utf8;
        std::size_t size;
    };
    // Every W becomes VV: the run of half the size makes the largest result the machine loads.
    const Case cases[] = {{"one run of W", 'W', 0, false, size},
                          {"one run of W, half the size", 'W', 0, false, size / 2},
                          {"one run of A", 'A', 0, false, size},
                          {"one line of words, ISO 8859-1", 0, 0, false, size},
                          {"letter, UTF-8, lines of ~70", 0, 70, true, size}};
    std::printf("converter, letters of %g MiB opened and converted:\n", mib);
    std::fflush(stdout);
    return zelmak::bench::runEachInChild(cases, [&](const Case& c) {
        const std::string bytes =
            c.run ? std::string(c.size, c.run) : germanLetter(c.size, c.lineLength, c.utf8);
        return run(argc, argv, c.name, bytes);
    });
}
