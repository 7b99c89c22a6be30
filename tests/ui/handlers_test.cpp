// The window's buttons that reach the help viewer, the converter and the end of the program,
// driven through the real controls with platform doubles.

#include "form_fixture.h"

namespace zelmak::test {
namespace {

const std::string kAccepted = "Cipher-Card o.k !!\r\nCipher-Disc o.k. \r\n";

using Platform = FormTest;

TEST_F(Platform, help_asks_the_viewer_for_the_help_file_contents_and_shows_nothing_itself) {
    button(33)->click();
    ASSERT_EQ(helpViewer.requests().size(), 1U);
    EXPECT_EQ(helpViewer.requests()[0].helpFile, "ZELMAK.HLP");
    EXPECT_EQ(helpViewer.requests()[0].owner, form.get());
    EXPECT_EQ(helpFile, QStringLiteral("ZELMAK.HLP"));
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(pane(Pane::Output), kAccepted);
}

TEST_F(Platform, every_press_of_run_converter_starts_one_more_converter) {
    named<QPushButton>("BtStart")->click();
    named<QPushButton>("BtStart")->click();
    EXPECT_EQ(launcher.started(), (std::vector<std::string>{"converter.exe", "converter.exe"}));
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(Platform, exit_after_typing_asks_nothing_and_saves_nothing_and_so_does_closing) {
    type("HALLO");
    button(29)->click();
    EXPECT_EQ(quitRequests, 1);
    form->close(); // the platform closes the window: it is Exit
    EXPECT_EQ(quitRequests, 2);
    EXPECT_TRUE(dialogs.saveFilters.isEmpty());
}

} // namespace
} // namespace zelmak::test
