// The break window: opened by Ctrl+B beside the main window, it finds a setting from a crib,
// refuses bad input next to its field, stops at Escape, and "Use this setting" puts the setting
// into the main window so that "Automatic" reads the message.

#include "form_fixture.h"

#include "analysis/crib_search.h"
#include "files/text_conversion.h"
#include "keyed_message.h"
#include "temp_dir.h"
#include "ui/break_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

namespace zelmak::test {
namespace {

using analysis::readCrib;

// Our own German lines.
const char* const kLetter =
    "NACH DEM GEWITTER KLARTE DER HIMMEL AUF UND DIE FISCHER FUHREN MIT IHREN BOOTEN "
    "HINAUS AUF DEN SEE WO DIE NETZE SEIT DEM VORABEND AUSLAGEN";

class BreakWindowTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        keyed = testing::randomlyKeyed(readCrib(convertForMachine(kLetter).text), 77);
    }

    // "Loade CipherCode" of a message as Zelmak writes it.
    void loadMessage(const std::string& text) {
        const std::string path = folder.file("message.cif");
        writeFile(path, text);
        dialogs.openAnswers << QString::fromStdString(path);
        button(40)->click();
    }
    std::string cipherText() const {
        std::string s;
        for (const auto c : keyed.cipher)
            s.push_back(keySymbol(c + 1));
        return s;
    }
    std::string plainText(std::size_t from, std::size_t length) const {
        std::string s;
        for (std::size_t i = from; i < from + length; ++i)
            s.push_back(keyed.plain[i] == analysis::kWordSpace ? ' '
                                                               : keySymbol(keyed.plain[i] + 1));
        return s;
    }
    BreakWindow* open() {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_B, Qt::ControlModifier);
        auto* window = form->findChild<BreakWindow*>();
        EXPECT_TRUE(window &&
                    QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }));
        return window;
    }
    template <typename T> T* in(BreakWindow* w, const char* name) const {
        T* widget = w->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void fill(BreakWindow* w, const std::string& crib, const char* offset, const char* order) {
        in<QLineEdit>(w, "Crib")->setText(QString::fromStdString(crib));
        in<QLineEdit>(w, "Offset")->setText(QString::fromLatin1(offset));
        in<QLineEdit>(w, "DiscOrder")->setText(QString::fromLatin1(order));
    }
    // A search ends within the test's limits or the test fails.
    static bool ended(BreakWindow* w) {
        return QTest::qWaitFor([w] { return !w->searching(); }, 120000);
    }

    TempDir folder;
    testing::KeyedMessage keyed;
};

TEST_F(BreakWindowTest,
       a_crib_finds_the_setting_and_use_this_setting_lets_automatic_read_the_message) {
    loadMessage(cipherText());
    BreakWindow* w = open();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->isModal());
    EXPECT_EQ(QApplication::focusWidget(), in<QLineEdit>(w, "Crib"));
    fill(w, plainText(0, 30), "0", "");
    in<QLineEdit>(w, "DiscOrder")->setFocus();
    QTest::keyClicks(QApplication::focusWidget(),
                     QString::fromStdString(analysis::orderText(keyed.order)));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(w->searching());
    ASSERT_TRUE(ended(w));
    QCoreApplication::processEvents();

    ASSERT_FALSE(w->candidates().empty());
    auto* table = in<QTableWidget>(w, "Candidates");
    EXPECT_EQ(table->currentRow(), 0);
    EXPECT_EQ(QApplication::focusWidget(), table);
    EXPECT_EQ(table->item(0, 2)->text().toStdString(), analysis::positionsText(keyed.start));
    // The best card was completed as soon as the search ended.
    const auto* use = in<QPushButton>(w, "UseSetting");
    EXPECT_TRUE(w->windowTitle().endsWith(QStringLiteral("1 candidate")));
    ASSERT_EQ(w->candidates().front().card, keyed.card) << "the completion missed";
    EXPECT_TRUE(use->isEnabled());
    QTest::keyClick(w, Qt::Key_U, Qt::AltModifier);

    EXPECT_EQ(positions(), analysis::positionsText(keyed.start));
    EXPECT_TRUE(radio(1)->isChecked()) << "Decipher";
    EXPECT_EQ(pane(Pane::Output), "Cipher-Card o.k !!\r\nCipher-Disc o.k. \r\n");
    button(41)->click(); // Automatic
    std::string plain = plainText(0, keyed.plain.size());
    std::replace(plain.begin(), plain.end(), ' ', '_');
    EXPECT_EQ(pane(Pane::Output), plain);
}

// With the day's card accepted in the main window, no crib is needed: every start is tried.
TEST_F(BreakWindowTest, the_accepted_card_finds_the_start_positions_without_a_crib) {
    form->session().useSetting(analysis::keyRecordOf(keyed.card, keyed.order),
                               {17, 17, 17, 17, 17});
    loadMessage(cipherText());
    BreakWindow* w = open();
    ASSERT_NE(w, nullptr);
    in<QCheckBox>(w, "UseAcceptedCard")->setChecked(true);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(ended(w));
    QCoreApplication::processEvents();
    ASSERT_FALSE(w->candidates().empty());
    EXPECT_EQ(analysis::positionsText(w->candidates().front().start),
              analysis::positionsText(keyed.start));
    EXPECT_TRUE(in<QPushButton>(w, "UseSetting")->isEnabled());
}

struct BadInput {
    const char* name;
    int messageLength; // symbols of the keyed message loaded; -1: an empty file
    const char* crib;
    const char* offset;
    const char* order;
    bool acceptedCard;
    const char* field;
    const char* says;
};

class BreakWindowRefuses : public BreakWindowTest,
                           public ::testing::WithParamInterface<BadInput> {};

TEST_P(BreakWindowRefuses, bad_input_next_to_its_field_and_nothing_runs) {
    const BadInput& row = GetParam();
    const std::string cipher = cipherText();
    loadMessage(row.messageLength < 0
                    ? std::string()
                    : cipher.substr(0, static_cast<std::size_t>(row.messageLength)));
    BreakWindow* w = open();
    ASSERT_NE(w, nullptr);
    fill(w, row.crib, row.offset, row.order);
    in<QCheckBox>(w, "UseAcceptedCard")->setChecked(row.acceptedCard);
    if (row.acceptedCard)
        pick(card(2), 1); // two entries alike: no setting is accepted
    in<QLineEdit>(w, "Offset")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(w->searching());
    EXPECT_EQ(in<QLabel>(w, row.field)->text().toStdString(), row.says);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BreakWindowRefuses,
    ::testing::Values(
        BadInput{"crib_symbol_without_key", 60, "JAWOHL", "0", "", false, "CribError",
                 "The crib holds \"J\", which has no key on the machine."},
        BadInput{"crib_longer_than_message", 10, "EINE LANGE ZEILE", "0", "", false, "CribError",
                 "The crib (16 symbols) is longer than the message (10 symbols)."},
        BadInput{"offset_past_the_end", 40, "ABCDEFGHIK", "31", "", false, "OffsetError",
                 "The message ends there: the crib fits at offsets 0-30."},
        BadInput{"offset_not_a_number", 40, "ABC", "drei", "", false, "OffsetError",
                 "One number, or a range such as 0-40."},
        BadInput{"order_twice_a_disc", 40, "ABC", "0", "11234", false, "DiscOrderError",
                 "Five different digits 1 to 5, such as 31425; blank for any."},
        BadInput{"empty_message", -1, "ABC", "0", "", false, "MessageError",
                 "The message is empty."},
        BadInput{"no_crib_and_no_card", 40, "", "0", "", false, "CribError",
                 "Type words the message probably holds, or use the accepted card."},
        BadInput{"no_accepted_card", 40, "", "0", "", true, "UseAcceptedCardError",
                 "No setting has been accepted: press Check Cipher first."}),
    [](const auto& r) { return std::string(r.param.name); });

TEST_F(BreakWindowTest, escape_stops_a_search_and_keeps_what_it_found) {
    loadMessage(cipherText());
    BreakWindow* w = open();
    ASSERT_NE(w, nullptr);
    fill(w, plainText(10, 30), "0-40", "");
    in<QPushButton>(w, "Start")->click();
    ASSERT_TRUE(w->searching());
    auto* speed = in<QLabel>(w, "Speed");
    ASSERT_TRUE(
        QTest::qWaitFor([w, speed] { return !speed->text().isEmpty() || !w->searching(); }, 60000));
    QTest::keyClick(w, Qt::Key_Escape);
    ASSERT_TRUE(ended(w));
    QCoreApplication::processEvents();
    EXPECT_TRUE(in<QLabel>(w, "Status")->text().startsWith(QStringLiteral("Cancelled after")));
    EXPECT_TRUE(in<QPushButton>(w, "Start")->isEnabled());
    // The main window answered keys all along.
    button(1)->click();
    EXPECT_EQ(form->session().machine().inputText.size(), 1u);
}

} // namespace
} // namespace zelmak::test
