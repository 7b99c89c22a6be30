// The help document we ship says only what the programs do: the captions it names in bold stand
// on the screen, the messages it quotes are the ones the error box shows, the verdicts are the
// setting check's lines, and its command-line examples give the output shown.
#include "converter_window.h"
#include "files/file_error.h"
#include "machine/errors.h"
#include "process.h"
#include "settings/settings.h"
#include "temp_dir.h"
#include "ui/Unit1.h"
#include "ui/dialogs.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTextDocumentFragment>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace zelmak {
namespace {

namespace fs = std::filesystem;

QString shippedHelp() {
    return QString::fromStdString(
        test::readFile((fs::path(ZELMAK_SOURCE_DIR) / "data" / "ZELMAK.HLP").string()));
}

QString plain(const QString& html) {
    return QTextDocumentFragment::fromHtml(html).toPlainText().simplified();
}

// The first cell of each row of the table with this id, as HTML.
QStringList firstCells(const QString& html, const QString& id) {
    const QRegularExpression table(QStringLiteral("<table id=\"%1\".*?</table>").arg(id),
                                   QRegularExpression::DotMatchesEverythingOption);
    const QString rows = table.match(html).captured(0);
    QStringList cells;
    for (const auto& m : QRegularExpression(QStringLiteral("<tr><td>(.*?)</td>"),
                                            QRegularExpression::DotMatchesEverythingOption)
                             .globalMatch(rows))
        cells << m.captured(1);
    return cells;
}

// Every text that the windows show on their controls and in the main window's menu,
// accelerator marks taken out.
std::set<QString> screenTexts() {
    QtDialogs dialogs; // never opened
    FormServices services;
    services.dialogs = &dialogs;
    TForm1 form(services);
    // The windows of the main window, with controls of their own.
    form.openMachineView();
    form.openBreakWindow();
    form.openStatistics();
    ConverterWindow converter;
    std::set<QString> texts;
    // A field's label ("Crib:") is named without its colon.
    auto add = [&texts](QString text) {
        text.remove(QLatin1Char('&'));
        if (text.endsWith(QLatin1Char(':')))
            text.chop(1);
        texts.insert(text);
    };
    for (const QAction* a : form.actions())
        add(a->text());
    for (QWidget* window : std::initializer_list<QWidget*>{&form, &converter}) {
        for (const QWidget* w : window->findChildren<QWidget*>()) {
            if (const auto* b = qobject_cast<const QAbstractButton*>(w))
                add(b->text());
            else if (const auto* g = qobject_cast<const QGroupBox*>(w))
                add(g->title());
            else if (const auto* l = qobject_cast<const QLabel*>(w))
                add(l->text());
            else if (const auto* c = qobject_cast<const QComboBox*>(w))
                for (int i = 0; i < c->count(); ++i)
                    add(c->itemText(i));
        }
    }
    return texts;
}

TEST(HelpDocument, names_in_bold_only_what_stands_on_the_screen) {
    const std::set<QString> onScreen = screenTexts();
    int named = 0;
    for (const auto& m :
         QRegularExpression(QStringLiteral("<b>(.*?)</b>")).globalMatch(shippedHelp())) {
        ++named;
        EXPECT_TRUE(onScreen.count(plain(m.captured(1))))
            << "no control shows \"" << plain(m.captured(1)).toStdString() << "\"";
    }
    EXPECT_GT(named, 40);
}

TEST(HelpDocument, quotes_only_messages_that_the_error_box_shows) {
    std::set<QString> shown;
    auto add = [&shown](const std::exception& e) {
        shown.insert(QString::fromUtf8(e.what()) + QLatin1Char('.'));
    };
    for (int code : {io::kFileNotFound, io::kPathNotFound, io::kTooManyOpenFiles, io::kAccessDenied,
                     io::kReadPastEnd, io::kDiskFull, io::kInvalidNumber})
        add(FileError(code));
    for (auto kind : {TextFileError::Kind::Create, TextFileError::Kind::Open,
                      TextFileError::Kind::Write, TextFileError::Kind::Capacity})
        add(TextFileError(kind, "..."));
    add(RangeError());
    add(OverflowError());

    const QString html = shippedHelp();
    QStringList quoted = firstCells(html, QStringLiteral("messages"));
    EXPECT_GE(quoted.size(), 8);
    // Messages quoted in the text: the quoted phrases that end in a full stop.
    for (const auto& m : QRegularExpression(QStringLiteral("\"([^\"<>]+\\.)\"")).globalMatch(html))
        quoted << m.captured(1);
    for (const QString& message : quoted)
        EXPECT_TRUE(shown.count(plain(message)))
            << "the program never shows \"" << plain(message).toStdString() << "\"";
}

TEST(HelpDocument, verdicts_are_the_lines_a_setting_check_writes) {
    const std::vector<QStringList> possible = {
        {kCardRejected}, {kCardAccepted, kDiscsRejected}, {kCardAccepted, kDiscsAccepted}};
    const QStringList rows = firstCells(shippedHelp(), QStringLiteral("verdicts"));
    EXPECT_EQ(rows.size(), 3);
    for (const QString& row : rows) {
        QStringList lines;
        for (const auto& m : QRegularExpression(QStringLiteral("\"([^\"]*)\"")).globalMatch(row))
            lines << m.captured(1);
        EXPECT_NE(std::find(possible.begin(), possible.end(), lines), possible.end())
            << lines.join(QLatin1Char('|')).toStdString();
    }
}

TEST(HelpDocument, command_line_options_and_examples_are_those_of_zelmak_cli) {
    const std::string cli = test::binPath("zelmak-cli");
    const std::string usage = test::runProcess(cli, {"--help"}).out;
    const QString html = shippedHelp();
    for (const QString& cell : firstCells(html, QStringLiteral("cli-options"))) {
        const std::string option = plain(cell).section(QLatin1Char(' '), 0, 0).toStdString();
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }

    int examples = 0;
    // An example's output runs to the next command or the end of the block; the companion
    // writes CR LF between lines of groups and a line feed after a JSON object.
    const QRegularExpression example(
        QStringLiteral("\\$ printf '([^']*)' \\| zelmak-cli([^\\n]*)\\n([^$<]*)"));
    for (const auto& m : example.globalMatch(html)) {
        ++examples;
        std::vector<std::string> args;
        for (const QString& arg : m.captured(2).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            args.push_back(arg.toStdString());
        const auto run = test::runProcess(cli, args, m.captured(1).toStdString());
        EXPECT_EQ(run.status, 0) << run.err;
        QString out = QString::fromStdString(run.out);
        out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        EXPECT_EQ(out.trimmed().toStdString(), m.captured(3).trimmed().toStdString())
            << m.captured(0).toStdString();
    }
    EXPECT_GE(examples, 2);
}

TEST(HelpDocument, breaking_a_message_gives_the_answer_shown) {
    const QString html = shippedHelp();
    auto blocks = [&html](const char* attribute) {
        QStringList found;
        for (const auto& m :
             QRegularExpression(QStringLiteral("<pre %1>(.*?)</pre>").arg(attribute),
                                QRegularExpression::DotMatchesEverythingOption)
                 .globalMatch(html))
            found << m.captured(1);
        return found;
    };
    test::TempDir dir;
    test::writeFile(dir.file("letter.cif"), blocks("id=\"break-message\"").value(0).toStdString());
    int examples = 0;
    const QRegularExpression example(QStringLiteral("\\$ zelmak-break ([^\\n]*)\\n([^$]*)"));
    for (const QString& block : blocks("class=\"break-example\"")) {
        for (const auto& m : example.globalMatch(block)) {
            ++examples;
            std::vector<std::string> args;
            // Words, a quoted one whole; the files named are the test's.
            for (const auto& w : QRegularExpression(QStringLiteral("'([^']*)'|(\\S+)"))
                                     .globalMatch(m.captured(1))) {
                const std::string arg =
                    (w.captured(1).isNull() ? w.captured(2) : w.captured(1)).toStdString();
                args.push_back(arg.ends_with(".cif") || arg.ends_with(".key") ? dir.file(arg)
                                                                              : arg);
            }
            const auto run = test::runProcess(test::binPath("zelmak-break"), args);
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(QString::fromStdString(run.out).trimmed().toStdString(),
                      m.captured(2).trimmed().toStdString())
                << m.captured(1).toStdString();
        }
    }
    EXPECT_GE(examples, 2);
}

} // namespace
} // namespace zelmak
