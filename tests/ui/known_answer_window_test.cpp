// A known answer of another setting through the real window: the key file loaded through the
// open dialog, "Check Cipher", the start positions picked in the selectors, the text run with
// "Automatic". The answer is one of the machine tests' rows, confirmed by the second model of
// the machine (tests/machine/reference_machine.py).

#include "form_fixture.h"

#include "machine/key_alphabet.h"
#include "temp_dir.h"

namespace zelmak::test {
namespace {

class KnownAnswerWindow : public FormTest {
protected:
    struct Shown {
        std::string output;
        std::string positions;
    };

    // Loads the key bytes as a key file, checks them, picks the start positions and runs the
    // text through "Automatic"; returns what the output pane and the position selectors show.
    Shown runInWindow(const std::string& keyBytes, const std::string& start,
                      const std::string& text) {
        writeFile(dir.file("setting.key"), keyBytes);
        dialogs.openAnswers << QString::fromStdString(dir.file("setting.key"));
        button(39)->click();
        button(38)->click();
        for (int s = 1; s <= 5; ++s)
            pick(position(s), symbolIndex(start.at(static_cast<std::size_t>(s - 1))).value() - 1);
        operatorWrites(Pane::Loaded, text);
        button(41)->click();
        EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(" ").toStdString();
        return {pane(Pane::Output), positions()};
    }

    TempDir dir;
};

TEST_F(KnownAnswerWindow, mixed_card_and_discs_from_a_key_file_give_the_known_cipher_text) {
    const std::string key =
        std::string{11, 15, 30, 10, 6,  31, 21, 14, 7,  27, 20, 12, 9, 28, 3, 17,
                    24, 19, 23, 8,  18, 29, 26, 2,  22, 5,  13, 25, 4, 16, 1} +
        std::string{2, 4, 0, 3, 1};
    const Shown shown = runInWindow(key, "Q7ZN2", "TREFFEN UM NEUN UHR AM BAHNHOF");
    EXPECT_EQ(shown.output, "RN6C9HKGK2S95TKR7729GLKCYMAPCF");
    EXPECT_EQ(shown.positions, "98AY2");
}

} // namespace
} // namespace zelmak::test
