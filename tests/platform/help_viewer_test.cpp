#include "platform/help_viewer.h"

#include "temp_dir.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBrowser>
#include <QWidget>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

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

TEST_P(HelpLocate, FindsTheExactNameNextToTheProgramThenInShareThenInTheCurrentFolder) {
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
        LocateRow{"share_before_current_folder",
                  {"share/zelmak/ZELMAK.HLP", "cwd/ZELMAK.HLP"},
                  "share/zelmak/ZELMAK.HLP"},
        LocateRow{"current_folder_last", {"cwd/ZELMAK.HLP"}, "cwd/ZELMAK.HLP"},
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
    EXPECT_EQ(folders.back(), QDir::currentPath());
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

    EXPECT_EQ(helpWindow(m_owner), nullptr);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), before);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
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
