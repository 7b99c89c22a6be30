// "Save CipherCode" saves what the output pane holds; "Loade CipherCode" replaces the loaded-text
// pane with a file's text, in CR LF lines, and nothing else.

#include "file_conditions.h"
#include "files/text_files.h"
#include "session_steps.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

namespace zelmak::test {
namespace {

namespace fs = std::filesystem;

std::string allBytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes.push_back(static_cast<char>(b));
    return bytes;
}

class TextFileHandler : public ::testing::Test {
protected:
    SessionRig rig;
    TempDir dir;

    void save(const std::string& chosen) {
        rig.view.saveAnswers.push_back(dir.file(chosen));
        rig.session.saveCipherCode();
    }
    void load(const std::string& name) {
        rig.view.openAnswers.push_back(dir.file(name));
        rig.session.loadCipherCode();
    }
};

TEST_F(TextFileHandler, save_writes_exactly_what_the_output_pane_holds) {
    rig.type("K5_");
    save("typed");
    EXPECT_EQ(readFile(dir.file("typed.cif")), rig.machine().outputText);
    EXPECT_EQ(rig.machine().outputText.size(), 3u) << "no line break after the symbols";

    // Right after the check the pane holds the verdict, line breaks and all.
    rig.session.checkCipher();
    save("verdict.cif");
    EXPECT_EQ(readFile(dir.file("verdict.cif")), "Cipher-Card o.k !!\r\nCipher-Disc o.k. \r\n");

    typeInto(rig, Pane::Output, allBytes());
    save("letter.txt");
    EXPECT_EQ(readFile(dir.file("letter.txt.cif")), allBytes());
    EXPECT_EQ(namesIn(dir.path()),
              (std::vector<std::string>{"letter.txt.cif", "typed.cif", "verdict.cif"}));
    EXPECT_TRUE(rig.view.errors.empty());
}

// The dialog cannot ask about "letter.cif" when the operator types "letter": the handler asks
// about the file it would really replace, and a "no" leaves it alone.
TEST_F(TextFileHandler, save_asks_before_replacing_the_file_it_writes_not_the_one_chosen) {
    writeFile(dir.file("letter.cif"), "OLD");
    typeInto(rig, Pane::Output, "NEW");
    rig.view.replaceAnswers = {false};
    save("letter");
    EXPECT_EQ(rig.view.replaceQuestions, std::vector<std::string>{dir.file("letter.cif")});
    EXPECT_EQ(readFile(dir.file("letter.cif")), "OLD");

    rig.view.replaceAnswers = {true};
    save("letter");
    EXPECT_EQ(readFile(dir.file("letter.cif")), "NEW");

    save("fresh.txt"); // nothing there: no question
    EXPECT_EQ(rig.view.replaceQuestions.size(), 2u);
}

// A link that points at nothing yet stands for no file: nothing is replaced, so nothing is asked,
// and the save makes the file the link points at.
TEST_F(TextFileHandler, save_through_a_link_to_nothing_yet_asks_nothing) {
    fs::create_symlink("real.cif", dir.file("link.cif"));
    typeInto(rig, Pane::Output, "NEW");
    rig.view.replaceAnswers = {false};
    save("link.cif");
    EXPECT_TRUE(rig.view.replaceQuestions.empty());
    EXPECT_TRUE(fs::is_symlink(dir.file("link.cif")));
    EXPECT_EQ(readFile(dir.file("real.cif")), "NEW");

    // Now that it points at a file, the same link asks.
    save("link.cif");
    EXPECT_EQ(rig.view.replaceQuestions, std::vector<std::string>{dir.file("link.cif")});
}

TEST_F(TextFileHandler, load_replaces_the_loaded_text_pane_and_nothing_else) {
    for (const auto& [bytes, shown] : {std::pair<std::string, std::string>{"", ""},
                                       {"ONE\nTWO\rTHREE\r\n", "ONE\r\nTWO\r\nTHREE\r\n"},
                                       {allBytes(), withCrLf(allBytes())}}) {
        writeFile(dir.file("a.txt"), bytes);
        Snapshot expected = snapshotOf(rig);
        expected.panes[static_cast<std::size_t>(Pane::Loaded)] = shown;
        load("a.txt");
        EXPECT_EQ(snapshotOf(rig), expected);
    }
    EXPECT_TRUE(rig.view.errors.empty());
}

TEST_F(TextFileHandler, saved_text_comes_back_unchanged) {
    std::string text = allBytes();
    std::erase(text, '\r');
    std::erase(text, '\n');
    typeInto(rig, Pane::Output, text);
    save("round");
    load("round.cif");
    EXPECT_EQ(rig.pane(Pane::Loaded), text);
}

} // namespace
} // namespace zelmak::test
