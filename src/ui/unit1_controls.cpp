// The controls of the main window, described as data: one table row per key, card entry and
// command button, and one loop per table that creates, places, names and wires them.

#include "Unit1.h"
#include "click_panel.h"
#include "key_layout.h"
#include "machine/key_alphabet.h"
#include "run_pane.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <functional>
#include <string_view>
#include <tuple>
#include <utility>

using zelmak::ClickPanel;
using zelmak::RunPane;

namespace {

using Handler = void (TForm1::*)();

constexpr int kKeyWidth = 53;
constexpr int kKeyHeight = 19;

// Card entry k: its label's name, and where label and selector stand in the card group.
struct CardDef {
    int label; // LabelN
    int labelX;
    int y;
    int selectorX;
};

constexpr int kCardRowStep = 26;

CardDef cardDef(int k) {
    static constexpr int kLabels[32] = {0,  12, 18, 48, 19, 20, 21, 22, 23, 24, 25,
                                        27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37,
                                        38, 39, 40, 41, 42, 4,  43, 45, 46, 47};
    if (k <= 16)
        return {kLabels[k], 8, 34 + (k - 1) * kCardRowStep, 36};
    return {kLabels[k], k == zelmak::kWordSpaceIndex ? 137 : 160, 37 + (k - 17) * kCardRowStep,
            195};
}

struct CommandDef {
    int number; // ButtonN
    const char* caption;
    int x;
    int y;
    int width;
    int height;
    bool enabled;
    Handler handler;
};

// Buttons of the card group (in group coordinates).
const CommandDef kCardCommands[] = {
    {38, "Check Cipher", 160, 439, 148, 25, false, &TForm1::Button38Click},
    {42, "Random Cipher", 8, 466, 145, 25, true, &TForm1::Button42Click},
    {37, "Save Cipher", 160, 466, 148, 25, false, &TForm1::Button37Click},
    {36, "Service Cipher", 8, 496, 145, 25, true, &TForm1::Button36Click},
    {39, "Load Cipher", 160, 496, 148, 25, true, &TForm1::Button39Click},
};

// Buttons of the window.
const CommandDef kCommands[] = {
    {35, "Save CipherCode", 496, 320, 153, 25, false, &TForm1::Button35Click},
    {41, "Automatic", 496, 384, 153, 25, false, &TForm1::Button41Click},
    {40, "Loade CipherCode", 496, 432, 153, 25, false, &TForm1::Button40Click},
    {29, "Exit", 673, 574, 100, 36, true, &TForm1::Button29Click},
    {33, "Help", 886, 575, 100, 34, true, &TForm1::Button33Click},
};

// A control under its design name, at its place.
template <typename T> T* placed(T* control, const QString& name, QRect place) {
    control->setObjectName(name);
    control->setGeometry(place);
    return control;
}

QFont pixelFont(const char* family, int pixels) {
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixels);
    return font;
}

} // namespace

void TForm1::buildControls() {
    setFont(pixelFont("Arial", 16));

    auto button = [this](QWidget* parent, int number, const QString& caption, QRect place,
                         bool enabled, const std::function<void()>& handler) {
        auto* b =
            placed(new QPushButton(caption, parent), QStringLiteral("Button%1").arg(number), place);
        b->setEnabled(enabled);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        m_button[static_cast<std::size_t>(number)] = b;
        return b;
    };

    // Cipher-Disc: position selectors above disc-number selectors, one column per slot.
    auto* GroupBox1 = placed(new QGroupBox(QStringLiteral("Cipher-Disc"), this),
                             QStringLiteral("GroupBox1"), {24, 11, 528, 96});
    for (int s = 1; s <= 5; ++s) {
        const int x = 8 + (s - 1) * 64;
        auto* position = placed(new QComboBox(GroupBox1), QStringLiteral("ComboBoxSS%1").arg(s),
                                {x, 24, 57, 24});
        for (int i = 1; i <= zelmak::kSymbolCount; ++i)
            position->addItem(QString(QLatin1Char(zelmak::keySymbol(i))));
        position->setCurrentIndex(-1);
        position->setAccessibleName(QStringLiteral("Position of disc slot %1").arg(s));
        // A position picked by the operator goes into the machine and is used by the next key;
        // nothing else runs.
        connect(position, &QComboBox::currentIndexChanged, this, [this, s](int index) {
            if (!m_showingMachine)
                m_machine.setPosition(s, index);
        });
        m_position[static_cast<std::size_t>(s)] = position;

        auto* disc =
            placed(new QComboBox(GroupBox1), QStringLiteral("ComboBoxS%1").arg(s), {x, 56, 57, 24});
        for (int n = 1; n <= 5; ++n)
            disc->addItem(QString::number(n));
        disc->setCurrentIndex(-1);
        disc->setAccessibleName(QStringLiteral("Disc number of slot %1").arg(s));
        connect(disc, &QComboBox::activated, this, &TForm1::Button38Click);
        m_disc[static_cast<std::size_t>(s)] = disc;
    }
    for (auto [n, caption, y] :
         {std::tuple{1, "Position the Disc", 24}, std::tuple{2, "Number from Disc", 64}}) {
        auto* label = new QLabel(QString::fromLatin1(caption), GroupBox1);
        label->setObjectName(QStringLiteral("Label%1").arg(n));
        label->move(328, y);
    }

    // Modus: an empty frame; the two radio buttons belong to the window itself.
    placed(new QGroupBox(QStringLiteral("Modus"), this), QStringLiteral("GroupBox3"),
           {558, 11, 107, 96});
    RadioButton2 = placed(new QRadioButton(QStringLiteral("Cipher"), this),
                          QStringLiteral("RadioButton2"), {568, 40, 81, 17});
    RadioButton2->setChecked(true);
    RadioButton1 = placed(new QRadioButton(QStringLiteral("Decipher"), this),
                          QStringLiteral("RadioButton1"), {568, 78, 88, 17});
    // A mode handler runs only when its button becomes checked, not when it is clicked again.
    for (const auto& mode : {std::pair{RadioButton1, &TForm1::RadioButton1Click},
                             std::pair{RadioButton2, &TForm1::RadioButton2Click}})
        connect(mode.first, &QRadioButton::toggled, this, [this, handler = mode.second](bool on) {
            if (on)
                (this->*handler)();
        });

    // The keyboard: each key's caption, accelerator and index come from its symbol.
    for (const zelmak::KeyRow& key : zelmak::kKeyRows) {
        const bool space = key.number == zelmak::kSpaceBarNumber;
        const QRect place =
            space ? QRect(key.x, key.y, 222, 23) : QRect(key.x, key.y, kKeyWidth, kKeyHeight);
        const QString caption = space ? QStringLiteral("Leerzeichen / Space Drücke hier!")
                                      : QStringLiteral("&") + QLatin1Char(key.symbol);
        auto* b = button(this, key.number, caption, place, key.symbol != 'Y',
                         [this, number = key.number] { keyButtonClick(number); });
        if (space) {
            b->setFont(pixelFont("Arial", 13));
            b->setAccessibleName(QStringLiteral("Space bar"));
            continue;
        }
        // The window's key preview presses the keys; Qt's own mnemonic would click a second
        // time, and later.
        b->setShortcut(QKeySequence());
        b->setAccessibleName(QStringLiteral("Key %1").arg(QLatin1Char(key.symbol)));
        m_keyByAccelerator[static_cast<unsigned char>(key.symbol)] = b;
    }

    // Cipher-Card: label and selector for each of the 31 keys, and the setting buttons.
    auto* GroupBox2 = placed(new QGroupBox(QStringLiteral("Cipher-Card"), this),
                             QStringLiteral("GroupBox2"), {670, 11, 315, 542});
    for (int k = 1; k <= zelmak::kSymbolCount; ++k) {
        const CardDef def = cardDef(k);
        const QLatin1Char symbol(zelmak::keySymbol(k));
        const QString caption = k == zelmak::kWordSpaceIndex
                                    ? QStringLiteral("Y/Spc=")
                                    : QString(symbol) + QStringLiteral(" =");
        auto* label = new QLabel(caption, GroupBox2);
        label->setObjectName(QStringLiteral("Label%1").arg(def.label));
        label->move(def.labelX, def.y + 4);

        auto* card = placed(new QComboBox(GroupBox2), QStringLiteral("ComboBox%1").arg(k),
                            {def.selectorX, def.y, 69, 26});
        card->addItem(QString());
        for (int i = 1; i <= zelmak::kSymbolCount; ++i)
            card->addItem(QString(QLatin1Char(zelmak::keySymbol(i))));
        card->setCurrentIndex(-1);
        card->setAccessibleName(QStringLiteral("Card entry for key %1").arg(symbol));
        label->setBuddy(card);
        connect(card, &QComboBox::activated, this, &TForm1::Button38Click);
        m_card[static_cast<std::size_t>(k)] = card;
    }
    const auto commands = [&](QWidget* parent, const auto& table) {
        for (const CommandDef& c : table)
            button(parent, c.number, QString::fromUtf8(c.caption),
                   QRect(c.x, c.y, c.width, c.height), c.enabled,
                   [this, c] { (this->*c.handler)(); });
    };
    commands(GroupBox2, kCardCommands);

    // The text column.
    auto* Panel1 = placed(new ClickPanel(QStringLiteral("Clear all Window"), this),
                          QStringLiteral("Panel1"), {8, 256, 481, 25});
    connect(Panel1, &ClickPanel::clicked, this, &TForm1::Panel1Click);

    // A pane with its caption as its first line. The loaded-text pane alone takes Enter, breaks
    // lines at blanks and shows a letter from its start.
    auto pane = [this](const char* name, const char* accessible, const char* caption, int y,
                       int height) {
        auto* p = placed(new RunPane(this), QString::fromLatin1(name), {8, y, 481, height});
        p->setAccessibleName(QString::fromLatin1(accessible));
        const bool loaded = std::string_view(name) == "lade";
        p->setAcceptsReturn(loaded);
        p->setWrapAtBlanks(loaded);
        p->setFollowsEnd(!loaded);
        p->appendLine(caption);
        return p;
    };
    Ausgabe = pane("Ausgabe", "Output", "Output", 279, 114);
    Ausgabe->QWidget::setEnabled(false);
    lade = pane("lade", "Loaded text", "Load", 400, 97);
    Eingabe = pane("Eingabe", "Input", "Input", 504, 114);
    Eingabe->setFont(pixelFont("MS Sans Serif", 16));
    Eingabe->setReadOnly(true);
    Eingabe->QWidget::setEnabled(false);

    // The command column, Exit and Help.
    commands(this, kCommands);
    auto* BtStart = placed(new QPushButton(QStringLiteral("Run Converter"), this),
                           QStringLiteral("BtStart"), {496, 464, 153, 25});
    BtStart->setAutoDefault(false);
    connect(BtStart, &QPushButton::clicked, this, &TForm1::BtStartClick);

    // Tab order: Button1..Button33 by number, the output pane, the disc group, the card group,
    // the input pane, the Y key, the mode buttons, the loaded-text pane, the command column.
    QList<QWidget*> order;
    for (int n = 1; n <= 33; ++n)
        order << m_button[static_cast<std::size_t>(n)];
    order << Ausgabe;
    order << QList<QWidget*>(m_position.begin() + 1, m_position.end())
          << QList<QWidget*>(m_disc.begin() + 1, m_disc.end())
          << QList<QWidget*>(m_card.begin() + 1, m_card.end());
    for (int n : {38, 42, 37, 36, 39})
        order << m_button[static_cast<std::size_t>(n)];
    order << Eingabe << m_button[34] << RadioButton2 << RadioButton1 << lade << m_button[35]
          << m_button[40] << m_button[41] << BtStart;
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}
