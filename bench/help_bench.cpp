// Figures for the help viewer's structure check: the check alone on documents of 4 MiB (the
// largest help document read), then hostile documents and the largest documents within every
// limit, each shown in a process of its own by the help viewer until painted ("after"), and the
// hostile ones by a plain QTextBrowser as the viewer did before the check ("before", stopped at
// the deadline). Prints milliseconds and peak megabytes.
// usage: zelmak_help_bench [seconds before a case is stopped]   (60 by default)
#include "platform/help_structure.h"
#include "platform/help_viewer.h"

#include "bench_support.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

using zelmak::bench::peakMiB;

constexpr std::size_t kMiB = std::size_t{1} << 20;

std::string times(std::size_t n, const std::string& s) {
    std::string out;
    out.reserve(n * s.size());
    for (std::size_t i = 0; i < n; ++i)
        out += s;
    return out;
}

// Repeats `s` until the document reaches `size` bytes.
std::string filled(std::size_t size, const std::string& s) {
    return times(size / s.size(), s);
}

double ms(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

void checkAlone(const char* name, const std::string& html) {
    const QString text = QString::fromStdString(html);
    QElapsedTimer t;
    t.start();
    const zelmak::HelpStructure s = zelmak::measureHelpStructure(text);
    const double took = ms(t);
    const auto refusal = zelmak::helpStructureRefusal(s);
    std::printf("  %-44s %5.1f MiB %8.1f ms  %s\n", name, static_cast<double>(html.size()) / kMiB,
                took, refusal ? refusal->toUtf8().constData() : "within the limits");
}

// Shows the document and prints the time until painted; in a child process stopped at the
// deadline.
void shown(int argc, char** argv, const char* name, bool before,
           const std::function<std::string()>& make, unsigned deadline) {
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        alarm(deadline);
        QApplication app(argc, argv);
        const std::string html = make();
        QTemporaryDir folder;
        QFile file(folder.filePath(QStringLiteral("ZELMAK.HLP")));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(html.data(), static_cast<qint64>(html.size())) !=
                static_cast<qint64>(html.size()))
            _exit(2);
        file.close();
        QWidget owner;
        owner.show();
        QApplication::processEvents();
        QElapsedTimer t;
        t.start();
        QTextBrowser* browser = nullptr;
        if (before) { // as the viewer did: straight into a browser
            browser = new QTextBrowser(&owner);
            browser->setWindowFlag(Qt::Window);
            browser->resize(720, 640);
            browser->setHtml(QString::fromStdString(html));
            browser->show();
        } else {
            zelmak::BrowserHelpViewer(folder.path()).showContents(&owner, "ZELMAK.HLP");
            browser = owner.findChild<QTextBrowser*>();
        }
        QApplication::processEvents();
        browser->window()->grab();
        const QString text = browser->toPlainText();
        std::printf("  %-6s %-40s %5.2f MiB %9.0f ms  peak %4.0f MiB  %s\n",
                    before ? "before" : "after", name, static_cast<double>(html.size()) / kMiB,
                    ms(t), peakMiB(),
                    text.startsWith(QStringLiteral("This help")) ? "refused" : "shown");
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM)
        std::printf("  %-6s %-40s stopped after %u s\n", before ? "before" : "after", name,
                    deadline);
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const unsigned deadline = argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : 60;
    constexpr std::size_t size = zelmak::BrowserHelpViewer::kDocumentLimit;
    const std::string paragraph =
        "<p>The discs step on every key; the <b>reflector</b> sends the symbol back. " +
        times(20, "Words of a help text, as the help has them. ") + "</p>\n";

    std::printf("The check alone, on the text (it stops once a limit is passed):\n");
    checkAlone("paragraphs of words", filled(size, paragraph));
    checkAlone("text without a tag", filled(size, "Words of a help text. "));
    checkAlone("one quoted attribute", "<a title=\"" + std::string(size, 'x'));
    checkAlone("closing tags 64 deep", times(64, "<div>") + filled(size, "</x>"));
    checkAlone("a table of 4 MiB", "<table>" + filled(size, "<tr>" + times(10, "<td>x</td>")));
    checkAlone("300 tables nested", times(300, "<table><tr><td>") + "x");

    std::printf("\nHostile documents, before and after:\n");
    const auto bigTable = [] {
        return "<table>" + filled(size, "<tr>" + times(10, "<td>x</td>") + "</tr>") + "</table>";
    };
    const auto nested = [] {
        return times(300, "<table border=1><tr><td>") + "x" + times(300, "</td></tr></table>");
    };
    const auto nested20 = [] { return times(20, "<table><tr><td>") + "x"; };
    for (const bool before : {true, false}) {
        shown(argc, argv, "a table of 4 MiB", before, bigTable, deadline);
        shown(argc, argv, "300 tables nested (14 KB)", before, nested, deadline);
        shown(argc, argv, "20 tables nested", before, nested20, deadline);
    }

    std::printf("\nThe shipped help, and the largest documents within every limit, after:\n");
    shown(
        argc, argv, "the shipped help", false,
        [] {
            QFile help(QStringLiteral(ZELMAK_HELP_FILE));
            return help.open(QIODevice::ReadOnly) ? help.readAll().toStdString() : std::string();
        },
        deadline);
    using L = zelmak::HelpLimits;
    const struct {
        const char* name;
        std::function<std::string()> make;
    } largest[] = {
        {"paragraphs of words, 4 MiB", [&] { return filled(size, paragraph); }},
        {"a table of 3000 cells",
         [] {
             return "<table>" + times(30, "<tr>" + times(100, "<td>cell</td>") + "</tr>") +
                    "</table>";
         }},
        {"tables 3 deep, 3000 cells in all",
         [] {
             return "<table><tr><td><table><tr><td><table>" +
                    times(27, "<tr>" + times(27, "<td>cell</td>") + "</tr>") +
                    "</table></td></tr></table></td></tr></table>";
         }},
        {"1000 items in one list",
         [] { return "<ol>" + times(L::kListItems, "<li>item") + "</ol>"; }},
        {"elements 64 deep, 20000",
         [] { return times(L::kElements / 128, times(64, "<div>") + "x" + times(64, "</div>")); }},
        {"100 selectors on 20000 elements",
         [] {
             return "<style>" + times(L::kStyleSelectors, "p b i span {color: red}") + "</style>" +
                    times(L::kElements / 4 - 1, "<p><b><i><span>x</span></i></b></p>");
         }},
        {"30 marks on each character, 4 MiB",
         [] { return "<p>" + filled(size, "e" + times(30, "\xcc\x81") + " ") + "</p>"; }},
        {"256 images of different names in one paragraph",
         [] {
             std::string html;
             for (std::size_t i = 0; i < L::kImages; ++i)
                 html += "<img src=\"" + std::to_string(i) + ".png\">";
             return html;
         }},
    };
    for (const auto& c : largest)
        shown(argc, argv, c.name, false, c.make, deadline);
    return 0;
}
