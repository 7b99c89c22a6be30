// The statistics window: opened by Ctrl+T, it counts the panes as "Automatic" keys a text, follows
// them with one redraw for many changes, and does nothing while it is closed.

#include "form_fixture.h"

#include "ui/statistics_window.h"

#include <QAction>
#include <QBarSet>
#include <QLabel>

#include <map>

namespace zelmak::test {
namespace {

std::size_t symbolOf(char c) {
    return c == '_' ? analysis::kWordSpace : static_cast<std::size_t>(*symbolIndex(c) - 1);
}

TEST(CountSymbols, counts_what_automatic_would_key_and_the_index_of_coincidence) {
    struct Case {
        std::string text;
        std::map<char, std::uint64_t> counts; // "_" is the word space
        double coincidence;
    };
    const std::string alternating = [] {
        std::string s;
        for (int i = 0; i < 500001; ++i)
            s += "QE";
        return s + "Q"; // not a multiple of four long
    }();
    const std::vector<Case> cases{
        {"HALLO", {{'H', 1}, {'A', 1}, {'L', 2}, {'O', 1}}, 0.1},
        {"hallo alle\r\n", {{'H', 1}, {'A', 2}, {'L', 4}, {'O', 1}, {'E', 1}, {'_', 1}}, 14.0 / 90},
        {"Yy_ ", {{'_', 4}}, 1.0},
        {"i2N", {{'I', 1}, {'2', 1}, {'N', 1}}, 0.0},
        {"JWXjwx01.,\t\r\n\xE4\x80", {}, 0.0},
        {alternating, {{'Q', 500002}, {'E', 500001}}, 0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 20));
        const analysis::TextStatistics stats = countSymbols(c.text);
        std::array<std::uint64_t, kSymbolCount> expected{};
        std::uint64_t total = 0;
        for (const auto& [symbol, n] : c.counts) {
            expected[symbolOf(symbol)] = n;
            total += n;
        }
        EXPECT_EQ(stats.counts, expected);
        EXPECT_EQ(stats.total, total);
        EXPECT_NEAR(stats.indexOfCoincidence, c.coincidence, 1e-6);
    }
}

class StatisticsWindowTest : public FormTest {
protected:
    StatisticsWindow* open() {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_T, Qt::ControlModifier);
        auto* window = form->findChild<StatisticsWindow*>();
        EXPECT_TRUE(window && QTest::qWaitForWindowActive(window));
        return window;
    }
    void backToTheWindow() {
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == form.get(); }));
        button(1)->setFocus();
    }
    // Waits (bounded) for the window's next redraw after `before` ones.
    static void redrawn(const StatisticsWindow* window, int before) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->redraws() > before; }, 5000))
            << "no redraw within 5 s";
    }
    static double share(const StatisticsWindow* window, Pane p, char symbol) {
        return window->bars(p)->at(static_cast<int>(symbolOf(symbol)));
    }
    static QString figures(const StatisticsWindow* window, Pane p) {
        return window->coincidence(p)->text();
    }
};

TEST_F(StatisticsWindowTest, ctrl_t_opens_a_window_beside_the_main_window_with_the_panes_counted) {
    const auto actions = form->actions();
    const auto found = std::find_if(actions.begin(), actions.end(), [](const QAction* a) {
        return a->text() == QStringLiteral("Statistics…");
    });
    ASSERT_NE(found, actions.end());
    EXPECT_EQ((*found)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_T));

    operatorWrites(Pane::Loaded, "Hallo alle");
    StatisticsWindow* window = open();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->isModal());
    EXPECT_EQ(window->parentWidget(), form.get());
    EXPECT_EQ(window->redraws(), 1);
    EXPECT_EQ(figures(window, Pane::Loaded),
              QStringLiteral("lade (loaded text): 10 symbols, index of coincidence 0.1556"));
    EXPECT_DOUBLE_EQ(share(window, Pane::Loaded, 'L'), 40.0);
    EXPECT_DOUBLE_EQ(share(window, Pane::Loaded, '_'), 10.0);
    EXPECT_EQ(figures(window, Pane::Input), QStringLiteral("Eingabe (input): no symbols"));

    // Ctrl+T again only brings it forward.
    backToTheWindow();
    open();
    EXPECT_EQ(form->findChildren<StatisticsWindow*>().size(), 1);
}

TEST_F(StatisticsWindowTest, follows_keys_and_automatic_with_one_redraw_for_many_changes) {
    StatisticsWindow* window = open();
    backToTheWindow();
    const int before = window->redraws();
    type("hallo");
    EXPECT_EQ(window->redraws(), before) << "a key waits for the redraw timer";
    redrawn(window, before);
    QTest::qWait(2 * StatisticsWindow::kRedrawMs);
    EXPECT_EQ(window->redraws(), before + 1);

    EXPECT_DOUBLE_EQ(share(window, Pane::Input, 'H'), 20.0);
    EXPECT_DOUBLE_EQ(share(window, Pane::Input, 'L'), 40.0);
    EXPECT_DOUBLE_EQ(share(window, Pane::Input, 'E'), 0.0);
    EXPECT_EQ(figures(window, Pane::Input),
              QStringLiteral("Eingabe (input): 5 symbols, index of coincidence 0.1000"));
    EXPECT_TRUE(figures(window, Pane::Output).startsWith(QStringLiteral("Ausgabe (output): 5 ")));

    operatorWrites(Pane::Loaded, std::string(99, 'Q') + "E");
    button(41)->click();
    redrawn(window, before + 1);
    EXPECT_DOUBLE_EQ(share(window, Pane::Input, 'Q'), 99.0);
    EXPECT_DOUBLE_EQ(share(window, Pane::Loaded, 'E'), 1.0);
    EXPECT_TRUE(figures(window, Pane::Output).contains(QStringLiteral(": 100 symbols")));
}

TEST_F(StatisticsWindowTest, counts_nothing_while_closed_and_the_panes_as_they_are_when_opened) {
    type("hallo");
    EXPECT_EQ(form->findChild<StatisticsWindow*>(), nullptr) << "made only when first opened";

    StatisticsWindow* window = open();
    window->close();
    backToTheWindow();
    const int closed = window->redraws();
    type("hallo");
    operatorWrites(Pane::Loaded, "Hallo alle");
    QTest::qWait(2 * StatisticsWindow::kRedrawMs);
    EXPECT_EQ(window->redraws(), closed);

    open();
    EXPECT_EQ(window->redraws(), closed + 1);
    EXPECT_TRUE(figures(window, Pane::Input).contains(QStringLiteral(": 10 symbols")));
    EXPECT_TRUE(figures(window, Pane::Loaded).contains(QStringLiteral(": 10 symbols")));
}

} // namespace
} // namespace zelmak::test
