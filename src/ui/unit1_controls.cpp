// The controls of the main window: the panels built from their tables, the mode buttons, the
// panes and the command column, and the wiring of every control to its handler.

#include "Unit1.h"
#include "card_panel.h"
#include "click_panel.h"
#include "disc_panel.h"
#include "key_layout.h"
#include "keyboard_panel.h"
#include "panel_building.h"
#include "run_pane.h"
#include "statistics_window.h"
#include "text_undo.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include <array>
#include <string_view>

using namespace zelmak;

namespace {

struct CommandDef {
    int number; // ButtonN; 0 for BtStart
    const char* caption;
    QRect place;
    void (TForm1::*handler)();
};

// The command column, Exit and Help.
const CommandDef kCommands[] = {
    {35, "Save CipherCode", {496, 320, 153, 25}, &TForm1::Button35Click},
    {41, "Automatic", {496, 384, 153, 25}, &TForm1::Button41Click},
    {40, "Loade CipherCode", {496, 432, 153, 25}, &TForm1::Button40Click},
    {0, "Run Converter", {496, 464, 153, 25}, &TForm1::BtStartClick},
    {29, "Exit", {673, 574, 100, 36}, &TForm1::Button29Click},
    {33, "Help", {886, 575, 100, 34}, &TForm1::Button33Click},
};

} // namespace

void TForm1::buildControls() {
    setFont(pixelFont("Arial", 16));
    m_discs = new DiscPanel(*this);

    // Modus: an empty frame; the two radio buttons belong to the window itself.
    placed(new QGroupBox(QStringLiteral("Modus"), this), QStringLiteral("GroupBox3"),
           {558, 11, 107, 96});
    RadioButton2 = placed(new QRadioButton(QStringLiteral("Cipher"), this),
                          QStringLiteral("RadioButton2"), {568, 40, 81, 17});
    RadioButton2->setChecked(true);
    RadioButton1 = placed(new QRadioButton(QStringLiteral("Decipher"), this),
                          QStringLiteral("RadioButton1"), {568, 78, 88, 17});

    m_keyboard = std::make_unique<KeyboardPanel>(*this);
    m_card = new CardPanel(*this);

    auto* Panel1 = placed(new ClickPanel(QStringLiteral("Clear all Window"), this),
                          QStringLiteral("Panel1"), {8, 256, 481, 25});
    connect(Panel1, &ClickPanel::clicked, this, &TForm1::Panel1Click);

    // The panes. The loaded-text pane alone takes Enter, breaks lines at blanks and shows a
    // letter from its start; the panes the operator can edit have an undo of their own.
    auto pane = [this](const char* name, const char* accessible, int y, int height) {
        auto* p = placed(new RunPane(this), QString::fromLatin1(name), {8, y, 481, height});
        p->setAccessibleName(QString::fromLatin1(accessible));
        const bool loaded = std::string_view(name) == "lade";
        p->setAcceptsReturn(loaded);
        p->setWrapAtBlanks(loaded);
        p->setFollowsEnd(!loaded);
        return p;
    };
    Ausgabe = pane("Ausgabe", "Output", 279, 114);
    new TextUndo(*Ausgabe);
    lade = pane("lade", "Loaded text", 400, 97);
    new TextUndo(*lade);
    Eingabe = pane("Eingabe", "Input", 504, 114);
    Eingabe->setFont(pixelFont("MS Sans Serif", 16));
    Eingabe->setReadOnly(true);

    std::array<QPushButton*, std::size(kCommands)> made{};
    for (std::size_t i = 0; i < made.size(); ++i) {
        const CommandDef& c = kCommands[i];
        made[i] =
            placed(new QPushButton(QString::fromLatin1(c.caption), this),
                   c.number ? QStringLiteral("Button%1").arg(c.number) : QStringLiteral("BtStart"),
                   c.place);
        made[i]->setAutoDefault(false);
        connect(made[i], &QPushButton::clicked, this, c.handler);
    }
    auto [save, automatic, load, BtStart, exit, help] = made;
    Button35 = save;
    Button41 = automatic;
    Button40 = load;

    // Tab order: Button1..Button33 by number, the output pane, the disc group, the card group,
    // the input pane, the Y key, the mode buttons, the loaded-text pane, the command column.
    QList<QWidget*> order;
    for (int n = 1; n <= 33; ++n)
        order << (n == 29 ? exit : n == 33 ? help : m_keyboard->button(n));
    order << Ausgabe;
    for (int s = 1; s <= 5; ++s)
        order << m_discs->position(s);
    for (int s = 1; s <= 5; ++s)
        order << m_discs->disc(s);
    for (int k = 1; k <= kSymbolCount; ++k)
        order << m_card->selector(k);
    for (int n : {38, 42, 37, 36, 39})
        order << m_card->button(n);
    order << Eingabe << m_keyboard->button(34) << RadioButton2 << RadioButton1 << lade << Button35
          << Button40 << Button41 << BtStart;
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

// Each control to its handler. The operator's picks and edits go to the session as they are.
void TForm1::wire() {
    connect(&m_keyboard->group(), &QButtonGroup::idClicked, this,
            [this](int number) { m_session.pressKey(keyRow(number).symbol); });
    for (const auto& [number, handler] :
         {std::pair{38, &TForm1::Button38Click}, std::pair{42, &TForm1::Button42Click},
          std::pair{37, &TForm1::Button37Click}, std::pair{36, &TForm1::Button36Click},
          std::pair{39, &TForm1::Button39Click}})
        connect(m_card->button(number), &QPushButton::clicked, this, handler);
    connect(m_card, &CardPanel::cardPicked, this,
            [this](int k, int item) { m_session.pickCard(k, item); });
    connect(m_discs, &DiscPanel::discPicked, this,
            [this](int s, int item) { m_session.pickDisc(s, item); });
    connect(m_discs, &DiscPanel::positionPicked, this, [this](int s, int item) {
        m_session.pickPosition(s, item);
        refreshMachineViewSoon();
    });
    // A mode handler runs only when its button becomes checked, not when it is clicked again.
    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton1Click();
    });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton2Click();
    });
    for (const Pane p : {Pane::Output, Pane::Loaded})
        connect(pane(p), &RunPane::operatorEdited, this, [this, p] {
            m_session.editPane(p, pane(p)->text8());
            if (m_statistics)
                m_statistics->panesChanged();
        });
}
