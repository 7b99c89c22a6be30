#include "form_fixture.h"

#include "app/startup.h"
#include "failing_allocation.h"
#include "modal_answerer.h"
#include "ui/Unit2.h"

#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QTimer>
#include <filesystem>
#include <stdexcept>

namespace zelmak::test {
namespace {

TStart* introWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* intro = qobject_cast<TStart*>(w))
            return intro;
    return nullptr;
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        services.dialogs = &dialogs;
        services.helpFile = &helpFile;
        services.quit = [] {};
    }

    FakeDialogs dialogs;
    QString helpFile;
    FormServices services;
};

TEST_F(StartupTest, intro_stands_while_the_main_window_is_built_and_is_gone_before_it_shows) {
    bool introShownDuringCreation = false;
    bool introCentred = false;
    Startup startup(dialogs);
    auto form = startup.build(
        [&] {
            const TStart* intro = introWindow();
            introShownDuringCreation = intro && intro->isVisible();
            if (intro) {
                const QRect screen = intro->screen()->geometry();
                introCentred =
                    (intro->frameGeometry().center() - screen.center()).manhattanLength() <= 2;
            }
            auto window = std::make_unique<TForm1>(services);
            window->FormCreate();
            EXPECT_FALSE(window->isVisible());
            return window;
        },
        helpFile);
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(introShownDuringCreation);
    EXPECT_TRUE(introCentred);
    EXPECT_EQ(introWindow(), nullptr) << "the intro is destroyed before the main window shows";
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(QApplication::applicationName(), QStringLiteral("Zelmak"));
    EXPECT_EQ(helpFile, QStringLiteral("ZELMAK.hlp"));
    EXPECT_EQ(form->findChild<RunPane*>(QStringLiteral("Ausgabe"))->text8(),
              "Cipher-Card o.k !!\r\nCipher-Disc o.k. \r\n");
    EXPECT_TRUE(dialogs.fatalErrors.isEmpty());
}

TEST_F(StartupTest, an_error_in_the_creation_event_shows_the_error_box_and_the_window_still_opens) {
    QtDialogs realDialogs;
    services.dialogs = &realDialogs;
    ModalAnswerer answerer({}, {QMessageBox::Ok});
    const auto& boxes = answerer.boxes;
    Startup startup(realDialogs);
    auto form = startup.build(
        [&] {
            auto window = std::make_unique<TForm1>(services);
            // The service setting runs out of memory while it writes its verdict.
            const NextAllocationFails failing;
            window->FormCreate();
            EXPECT_TRUE(failing.failed());
            return window;
        },
        helpFile);
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].caption, QStringLiteral("Zelmak"));
    EXPECT_EQ(boxes[0].text, QStringLiteral("Zu wenig Arbeitsspeicher."));
    EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
    // What the handler did before the error stays, and is shown.
    EXPECT_EQ(form->findChild<QComboBox*>(QStringLiteral("ComboBox31"))->currentIndex(), 31);
    EXPECT_EQ(form->findChild<RunPane*>(QStringLiteral("Ausgabe"))->text8(), "");

    bool shown = false;
    QTimer::singleShot(0, form.get(), [&] {
        shown = form->isVisible();
        QCoreApplication::exit(0);
    });
    EXPECT_EQ(Startup::run(*form), 0);
    EXPECT_TRUE(shown);
    EXPECT_EQ(boxes.size(), 1U);
}

TEST_F(StartupTest, intro_shows_its_three_greeting_lines) {
    TStart intro;
    EXPECT_EQ(intro.windowTitle(), QStringLiteral("Intro"));
    EXPECT_EQ(intro.size(), QSize(524, 257));
    EXPECT_EQ(intro.Label1->text(), QStringLiteral("Herzlich willkommen beim ersten"));
    EXPECT_EQ(intro.Label2->text(), QStringLiteral("ZELMAK - Emulator"));
    EXPECT_EQ(intro.Label3->text(), QStringLiteral("Hjvtrq - R-904"));
    EXPECT_EQ(intro.Label3->font().family(), QStringLiteral("Cyrillic-Normal"));
}

TEST_F(StartupTest, a_fatal_error_while_building_removes_the_intro_and_reports_it) {
    Startup startup(dialogs);
    auto form = startup.build(
        []() -> std::unique_ptr<TForm1> { throw std::runtime_error("kaputt"); }, helpFile);
    EXPECT_EQ(form, nullptr);
    EXPECT_EQ(introWindow(), nullptr);
    ASSERT_EQ(dialogs.fatalErrors.size(), 1);
    const QString text = dialogs.fatalErrors[0];
    EXPECT_TRUE(text.contains(QStringLiteral("std::runtime_error"))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("\nkaputt."))) << text.toStdString();
}

TEST(DesktopIdentity, names_the_menu_entry_and_sets_its_icon_on_every_window) {
    Startup::identifyToDesktop();
    const QString entry = QGuiApplication::desktopFileName();
    EXPECT_EQ(entry, QStringLiteral("io.github.zelmak.Zelmak"));
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::path(ZELMAK_SOURCE_DIR) / "data" /
                                                 (entry.toStdString() + ".desktop")));
    const QIcon icon = QApplication::windowIcon();
    EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
    EXPECT_TRUE(icon.availableSizes().contains(QSize(256, 256)));
    // The disc is drawn: a good part of the small icon is not transparent.
    const QImage image = icon.pixmap(QSize(32, 32)).toImage();
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            drawn += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    EXPECT_GT(drawn, 32 * 32 / 4);
}

TEST(FatalErrorText, adds_a_full_stop_only_when_missing) {
    EXPECT_TRUE(Startup::fatalErrorText("E", "Form1", "Fehler.").endsWith("\nFehler."));
    EXPECT_TRUE(Startup::fatalErrorText("E", "Form1", "Fehler").endsWith("\nFehler."));
}

} // namespace
} // namespace zelmak::test
