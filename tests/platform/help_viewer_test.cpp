#include "platform/help_viewer.h"

#include "fifo_guard.h"
#include "memory_cap.h"
#include "temp_dir.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QWidget>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <utility>
#include <vector>

namespace zelmak {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

constexpr const char* kHelpFile = "ZELMAK.HLP";

const std::string kShortHelp = "<html><body><h1>Zelmak Help</h1><p><b>Contents</b></p>"
                               "<ol><li><a href=\"#end\">End</a></li></ol>"
                               "<p>ÄÖÜ äöü ß</p><h2><a name=\"end\"></a>End</h2></body></html>";

class CurrentFolder {
public:
    explicit CurrentFolder(const fs::path& folder) : m_old(fs::current_path()) {
        fs::create_directories(folder);
        fs::current_path(folder);
    }
    ~CurrentFolder() { fs::current_path(m_old); }

private:
    fs::path m_old;
};

QWidget* helpWindow(QWidget& owner) {
    return owner.findChild<QWidget*>(QString::fromLatin1(BrowserHelpViewer::kWindowName));
}

QTextBrowser* helpBrowser(QWidget& owner) {
    return owner.findChild<QTextBrowser*>(QString::fromLatin1(BrowserHelpViewer::kBrowserName));
}

// A help document of exactly `size` bytes: a title, then a comment that fills it up.
std::string paddedHelp(std::size_t size) {
    const std::string head = "<html><body><h1>Zelmak Help</h1><!--";
    const std::string tail = "--></body></html>";
    return head + std::string(size - head.size() - tail.size(), 'x') + tail;
}

// Where the help file lies, seen from a program in <tmp>/bin; run from an empty current
// folder unless the row puts the file there.
struct LocateRow {
    const char* name;
    std::vector<std::string> files; // relative to the temporary folder; a trailing / is a folder
    std::string expected;           // relative to the temporary folder, or "" for nothing
};

void PrintTo(const LocateRow& row, std::ostream* os) {
    *os << row.name;
}

class HelpLocate : public ::testing::TestWithParam<LocateRow> {};

TEST_P(HelpLocate, FindsTheExactNameNextToTheProgramThenInShareNeverInTheCurrentFolder) {
    const LocateRow& row = GetParam();
    TempDir tmp;
    for (const std::string folder : {"bin", "share/zelmak", "cwd"})
        fs::create_directories(tmp.path() / folder);
    for (const std::string& file : row.files) {
        if (file.ends_with("/"))
            fs::create_directories(tmp.path() / file);
        else
            test::writeFile((tmp.path() / file).string(), kShortHelp);
    }
    CurrentFolder cwd(tmp.path() / "cwd");
    BrowserHelpViewer viewer(QString::fromStdString((tmp.path() / "bin").string()));

    const auto found = viewer.locate(QString::fromLatin1(kHelpFile));
    if (row.expected.empty()) {
        EXPECT_FALSE(found.has_value()) << found->toStdString();
    } else {
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(fs::weakly_canonical(found->toStdString()),
                  fs::weakly_canonical(tmp.path() / row.expected));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HelpLocate,
    ::testing::Values(
        LocateRow{"next_to_the_program", {"bin/ZELMAK.HLP"}, "bin/ZELMAK.HLP"},
        LocateRow{"in_share_zelmak", {"share/zelmak/ZELMAK.HLP"}, "share/zelmak/ZELMAK.HLP"},
        LocateRow{"program_folder_before_share",
                  {"bin/ZELMAK.HLP", "share/zelmak/ZELMAK.HLP"},
                  "bin/ZELMAK.HLP"},
        LocateRow{"share_not_the_current_folder",
                  {"share/zelmak/ZELMAK.HLP", "cwd/ZELMAK.HLP"},
                  "share/zelmak/ZELMAK.HLP"},
        // Whoever can put a file in the folder the program is started from decides nothing.
        LocateRow{"planted_in_the_current_folder", {"cwd/ZELMAK.HLP"}, ""},
        LocateRow{"lower_case_name_not_found",
                  {"bin/zelmak.hlp", "share/zelmak/ZELMAK.hlp", "cwd/Zelmak.Hlp"},
                  ""},
        LocateRow{"folder_of_that_name_passed_over",
                  {"bin/ZELMAK.HLP/", "share/zelmak/ZELMAK.HLP"},
                  "share/zelmak/ZELMAK.HLP"},
        LocateRow{"missing_everywhere", {}, ""}));

TEST(HelpLocate, SearchesTheInstalledDataFolderAfterTheProgramsOwn) {
    const QStringList folders = BrowserHelpViewer(QStringLiteral("/opt/z/bin")).searchFolders();
    ASSERT_GE(folders.size(), 3);
    EXPECT_EQ(folders[0], QStringLiteral("/opt/z/bin"));
    EXPECT_EQ(folders[1], QStringLiteral("/opt/z/share/zelmak"));
    EXPECT_TRUE(folders[2].endsWith(QStringLiteral("/zelmak"))) << folders[2].toStdString();
    EXPECT_EQ(folders.size(), 3);
    EXPECT_FALSE(folders.contains(QDir::currentPath()));
    EXPECT_FALSE(folders.contains(QStringLiteral(".")));
}

TEST(HelpLocate, TheBuildPutsTheHelpFileNextToThePrograms) {
    const auto found = BrowserHelpViewer().locate(QString::fromLatin1(kHelpFile));
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(*found, QCoreApplication::applicationDirPath() + QStringLiteral("/ZELMAK.HLP"));
}

class HelpWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(m_tmp.path() / "bin");
        m_owner.resize(300, 200);
        m_owner.show();
    }
    BrowserHelpViewer viewer() const {
        return BrowserHelpViewer(QString::fromStdString((m_tmp.path() / "bin").string()));
    }
    std::string helpPath() const { return (m_tmp.path() / "bin" / kHelpFile).string(); }

    TempDir m_tmp;
    CurrentFolder m_cwd{m_tmp.path() / "cwd"};
    QWidget m_owner;
};

TEST_F(HelpWindowTest, ShowsTheFileInANonModalWindowOwnedByTheMainWindow) {
    test::writeFile(helpPath(), kShortHelp);
    auto v = viewer();
    HelpViewer& asInterface = v;
    asInterface.showContents(&m_owner, kHelpFile);

    QWidget* window = helpWindow(m_owner);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->parentWidget(), &m_owner);
    EXPECT_TRUE(window->isWindow());
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    ASSERT_NE(helpBrowser(m_owner), nullptr);
    // The document is UTF-8; umlauts must come through.
    EXPECT_TRUE(
        helpBrowser(m_owner)->toPlainText().startsWith(QStringLiteral("Zelmak Help\nContents")));
    EXPECT_TRUE(helpBrowser(m_owner)->toPlainText().contains(QStringLiteral("ÄÖÜ äöü ß")));
}

TEST_F(HelpWindowTest, AskingAgainReusesTheWindowAndScrollsBackToTheContents) {
    fs::copy_file(fs::path(ZELMAK_SOURCE_DIR) / "data" / kHelpFile, helpPath());
    auto v = viewer();
    v.showContents(&m_owner, kHelpFile);
    QTextBrowser* browser = helpBrowser(m_owner);
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->verticalScrollBar()->value(), 0);

    // Following a link of the contents list scrolls within the same document.
    browser->setSource(QUrl(QStringLiteral("#messages")));
    EXPECT_GT(browser->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Contents")));

    v.showContents(&m_owner, kHelpFile);
    EXPECT_EQ(m_owner.findChildren<QTextBrowser*>().size(), 1);
    EXPECT_EQ(helpBrowser(m_owner), browser);
    EXPECT_EQ(browser->verticalScrollBar()->value(), 0);
}

TEST_F(HelpWindowTest, MissingOrUnreadableFileShowsNothing) {
    const auto before = QApplication::topLevelWidgets().size();
    auto v = viewer();

    v.showContents(&m_owner, kHelpFile); // missing
    test::writeFile((m_tmp.path() / "bin" / "zelmak.hlp").string(), kShortHelp);
    v.showContents(&m_owner, kHelpFile); // only a lower-case name
    // A file that opens but cannot be read: the system refuses reading this one even to root.
    fs::create_symlink("/proc/self/mem", helpPath());
    v.showContents(&m_owner, kHelpFile);
    v.showContents(nullptr, kHelpFile);
    // A pipe in its place: never waited for.
    fs::remove(helpPath());
    ASSERT_TRUE(test::makeFifo(helpPath()));
    {
        test::FifoGuard guard(helpPath());
        v.showContents(&m_owner, kHelpFile);
        EXPECT_FALSE(guard.fired());
    }
    // A document one byte over the limit.
    fs::remove(helpPath());
    test::writeFile(helpPath(), paddedHelp(BrowserHelpViewer::kDocumentLimit + 1));
    v.showContents(&m_owner, kHelpFile);

    EXPECT_EQ(helpWindow(m_owner), nullptr);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), before);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(HelpWindowTest, ADocumentOfExactlyTheLimitIsShown) {
    test::writeFile(helpPath(), paddedHelp(BrowserHelpViewer::kDocumentLimit));
    viewer().showContents(&m_owner, kHelpFile);
    ASSERT_NE(helpBrowser(m_owner), nullptr);
    EXPECT_TRUE(helpBrowser(m_owner)->toPlainText().startsWith(QStringLiteral("Zelmak Help")));
}

// ---- What a help document may name ------------------------------------------------------------

// The help folder (bin) holds seal.png and pics/seal.png, images of 7 x 5 pixels; outside.png
// lies outside it. A row adds what it needs and names one file in the document.
struct ResourceRow {
    const char* name;
    const char* html; // "TMP" stands for the temporary folder
    std::function<void(const fs::path& tmp)> make;
    bool imageShown;
};

void PrintTo(const ResourceRow& row, std::ostream* os) {
    *os << row.name;
}

class HelpResources : public HelpWindowTest, public ::testing::WithParamInterface<ResourceRow> {
protected:
    static void makeImage(const fs::path& path) {
        QImage image(7, 5, QImage::Format_RGB32);
        image.fill(Qt::darkRed);
        ASSERT_TRUE(image.save(QString::fromStdString(path.string()), "PNG"));
    }

    // The size of the image the document holds for `src`, if any.
    static QSize imageSize(QTextBrowser* browser, const QString& src) {
        const QVariant image = browser->document()->resource(QTextDocument::ImageResource, src);
        if (image.userType() == QMetaType::QPixmap)
            return image.value<QPixmap>().size();
        if (image.userType() == QMetaType::QImage)
            return image.value<QImage>().size();
        return {};
    }
};

std::function<void(const fs::path&)> nothing() {
    return [](const fs::path&) {};
}

std::function<void(const fs::path&)> fifo(const char* name) {
    return [name](const fs::path& tmp) { ASSERT_TRUE(test::makeFifo((tmp / name).string())); };
}

TEST_P(HelpResources, OnlyARegularFileInsideTheHelpFolderIsReadAndNothingWaits) {
    const ResourceRow& row = GetParam();
    const fs::path bin = m_tmp.path() / "bin";
    fs::create_directories(bin / "pics");
    makeImage(bin / "seal.png");
    makeImage(bin / "pics" / "seal.png");
    makeImage(m_tmp.path() / "outside.png");
    row.make(m_tmp.path());
    QString html = QString::fromLatin1(row.html);
    html.replace(QStringLiteral("TMP"), QString::fromStdString(m_tmp.path().string()));
    test::writeFile(helpPath(), "<html><body><h1>Zelmak Help</h1>" + html.toStdString() +
                                    "<p>End</p></body></html>");
    {
        test::FifoGuard imageGuard((bin / "pipe.png").string());
        test::FifoGuard styleGuard((bin / "pipe.css").string());
        test::MemoryCap cap(std::size_t{1} << 30);
        viewer().showContents(&m_owner, kHelpFile);
        // Laid out and painted twice: an image that could not be had is asked for on each paint.
        ASSERT_NE(helpWindow(m_owner), nullptr);
        helpWindow(m_owner)->grab();
        helpWindow(m_owner)->grab();
        EXPECT_FALSE(imageGuard.fired() || styleGuard.fired()) << "the help waited for a pipe";
    }
    QTextBrowser* browser = helpBrowser(m_owner);
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().startsWith(QStringLiteral("Zelmak Help")));
    const QRegularExpression src(QStringLiteral("src=\"([^\"]*)\""));
    if (const auto m = src.match(html); m.hasMatch()) {
        EXPECT_EQ(imageSize(browser, m.captured(1)) == QSize(7, 5), row.imageShown);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HelpResources,
    ::testing::Values(
        ResourceRow{"image_beside_the_document", "<img src=\"seal.png\">", nothing(), true},
        ResourceRow{"image_in_a_subfolder", "<img src=\"pics/seal.png\">", nothing(), true},
        ResourceRow{"image_by_its_full_name", "<img src=\"TMP/bin/seal.png\">", nothing(), true},
        ResourceRow{"image_that_is_a_pipe", "<img src=\"pipe.png\">", fifo("bin/pipe.png"), false},
        ResourceRow{"endless_device", "<img src=\"/dev/zero\">", nothing(), false},
        ResourceRow{"endless_device_as_file_url", "<img src=\"file:///dev/zero\">", nothing(),
                    false},
        ResourceRow{"sparse_image_of_a_gigabyte", "<img src=\"big.png\">",
                    [](const fs::path& tmp) {
                        test::writeFile((tmp / "bin/big.png").string(), "");
                        fs::resize_file(tmp / "bin/big.png", std::uintmax_t{1} << 30);
                    },
                    false},
        ResourceRow{"image_outside_the_folder", "<img src=\"../outside.png\">", nothing(), false},
        ResourceRow{"image_outside_by_file_url", "<img src=\"file://TMP/outside.png\">", nothing(),
                    false},
        ResourceRow{"link_in_the_folder_to_outside", "<img src=\"out.png\">",
                    [](const fs::path& tmp) {
                        fs::create_symlink(tmp / "outside.png", tmp / "bin/out.png");
                    },
                    false},
        ResourceRow{"image_on_the_web", "<img src=\"http://127.0.0.1:9/seal.png\">", nothing(),
                    false},
        ResourceRow{"style_sheet_that_is_a_pipe",
                    "<link rel=\"stylesheet\" type=\"text/css\" href=\"pipe.css\">",
                    fifo("bin/pipe.css"), false}),
    [](const auto& p) { return std::string(p.param.name); });

// ---- Links ------------------------------------------------------------------------------------

// Clicks the link with this text, as the operator would.
void clickLink(QTextBrowser* browser, const QString& text) {
    const QTextCursor found = browser->document()->find(text);
    ASSERT_FALSE(found.isNull()) << text.toStdString();
    QTextCursor middle(browser->document());
    middle.setPosition((found.selectionStart() + found.selectionEnd()) / 2);
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier,
                      browser->cursorRect(middle).center());
}

TEST_F(HelpWindowTest, LinksStayInsideTheHelpAndWebLinksGoToTheDesktopsBrowser) {
    const fs::path bin = m_tmp.path() / "bin";
    const std::string tmp = m_tmp.path().string();
    test::writeFile((bin / "more.html").string(), "<h1>More</h1><p><a name=\"part\"></a>Part</p>");
    test::writeFile(m_tmp.file("outside.html"), "<h1>Outside</h1>");
    ASSERT_TRUE(test::makeFifo((bin / "pipe.html").string()));
    const std::vector<std::pair<std::string, std::string>> links = {
        {"Parent", "../outside.html"},
        {"FileUrl", "file://" + tmp + "/outside.html"},
        {"FullName", tmp + "/outside.html"},
        {"Pipe", "pipe.html"},
        {"Device", "file:///dev/zero"},
        {"Resource", "qrc:/qt-project.org/qmessagebox/images/qtlogo-64.png"},
        {"Data", "data:text/html,%3Ch1%3EData%3C/h1%3E"},
        {"Ftp", "ftp://127.0.0.1:9/x.html"},
        {"Web", "https://example.org/zelmak"},
        {"Mail", "mailto:help@example.org"},
        {"More", "more.html#part"}};
    std::string html = "<html><body><h1>Zelmak Help</h1>";
    for (const auto& [text, href] : links)
        html += "<p><a href=\"" + href + "\">" + text + "</a></p>";
    test::writeFile(helpPath(), html + "</body></html>");
    std::vector<QUrl> web;
    BrowserHelpViewer v(QString::fromStdString(bin.string()),
                        [&web](const QUrl& url) { web.push_back(url); });
    v.showContents(&m_owner, kHelpFile);
    QTextBrowser* browser = helpBrowser(m_owner);
    ASSERT_NE(browser, nullptr);

    test::FifoGuard guard((bin / "pipe.html").string());
    for (const auto& [text, href] : links) {
        if (text == "More")
            continue;
        clickLink(browser, QString::fromStdString(text));
        EXPECT_TRUE(browser->toPlainText().startsWith(QStringLiteral("Zelmak Help"))) << href;
    }
    EXPECT_FALSE(guard.fired());
    EXPECT_EQ(web, (std::vector<QUrl>{QUrl(QStringLiteral("https://example.org/zelmak")),
                                      QUrl(QStringLiteral("mailto:help@example.org"))}));

    clickLink(browser, QStringLiteral("More"));
    EXPECT_TRUE(browser->toPlainText().startsWith(QStringLiteral("More")))
        << browser->toPlainText().toStdString();
}

// The help file we ship: its contents list comes first and every link in it leads somewhere.
TEST(ShippedHelp, ContentsComeFirstAndEveryLinkHasItsAnchor) {
    const QString html = QString::fromStdString(
        test::readFile((fs::path(ZELMAK_SOURCE_DIR) / "data" / kHelpFile).string()));
    std::set<QString> anchors;
    for (const auto& m : QRegularExpression(QStringLiteral("name=\"([^\"]+)\"")).globalMatch(html))
        anchors.insert(m.captured(1));
    int links = 0;
    for (const auto& m :
         QRegularExpression(QStringLiteral("href=\"#([^\"]+)\"")).globalMatch(html)) {
        ++links;
        EXPECT_TRUE(anchors.count(m.captured(1))) << "no anchor " << m.captured(1).toStdString();
    }
    EXPECT_GT(links, 10);
    EXPECT_LT(html.indexOf(QStringLiteral("Contents")), html.indexOf(QStringLiteral("<h2")));
}

TEST(ShippedHelp, DescribesEveryControlOfTheMainWindow) {
    const QString html = QString::fromStdString(
        test::readFile((fs::path(ZELMAK_SOURCE_DIR) / "data" / kHelpFile).string()));
    for (const char* caption : {"Cipher-Disc",
                                "Position the Disc",
                                "Number from Disc",
                                "Modus",
                                "Cipher",
                                "Decipher",
                                "Leerzeichen / Space Drücke hier!",
                                "Cipher-Card",
                                "Y/Spc=",
                                "Check Cipher",
                                "Random Cipher",
                                "Save Cipher",
                                "Service Cipher",
                                "Load Cipher",
                                "Clear all Window",
                                "Save CipherCode",
                                "Automatic",
                                "Loade CipherCode",
                                "Run Converter",
                                "Exit",
                                "Help",
                                "Cipher-Card o.k !!",
                                "Error Cipher-Card!",
                                "Cipher-Disc o.k. ",
                                "Error Cipher-Disc !!",
                                "5M5QHAI6Y4",
                                "HALLO_ALLE",
                                "zelmak-cli"})
        EXPECT_TRUE(html.contains(QString::fromUtf8(caption))) << caption;
}

} // namespace
} // namespace zelmak
