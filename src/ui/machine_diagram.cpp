#include "machine_diagram.h"

#include "machine/key_alphabet.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>

namespace zelmak {

const QColor MachineDiagram::kForward(0xd9, 0x48, 0x0f);  // the way in
const QColor MachineDiagram::kBackward(0x19, 0x71, 0xc2); // the way back
const QColor MachineDiagram::kStepped(0x2b, 0x8a, 0x3e);

namespace {

constexpr int kColumns = 7; // card, slots 1..5, reflector
constexpr int kReflector = 6;
constexpr double kGapPerColumn = 1.3;

// Where things are drawn: columns side by side, contact k of every column on the same row.
struct Geometry {
    double left = 0;
    double top = 0;
    double row = 0;
    double column = 0;
    double gap = 0;

    double y(int contact) const { return top + (contact - 0.5) * row; }
    double x0(int c) const { return left + c * (column + gap); }
    double x1(int c) const { return x0(c) + column; }
    double bottom() const { return top + kSymbolCount * row; }
};

char symbol(int index) {
    return index >= 1 && index <= kSymbolCount ? keySymbol(index) : '?';
}

QString positionText(int position) {
    return position >= 0 && position <= 30 ? QString(QLatin1Char(positionSymbol(position)))
                                           : QStringLiteral("–");
}

} // namespace

MachineDiagram::MachineDiagram(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MachineDiagram"));
    setAccessibleName(tr("Drawing of the last key's way through the machine"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void MachineDiagram::setTrace(const std::optional<KeyTrace>& trace, char letter) {
    m_trace = trace;
    m_letter = letter;
    update();
}

void MachineDiagram::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Qt::white);

    // The text grows with the rows, within what stays legible.
    const double rowGuess = (height() - 110.0) / kSymbolCount;
    QFont small = font();
    small.setPixelSize(std::clamp(static_cast<int>(rowGuess * 0.72), 9, 15));
    QFont bold = small;
    bold.setBold(true);
    p.setFont(small);
    const QFontMetricsF fm(small);
    const double line = fm.height();

    Geometry g;
    g.left = fm.horizontalAdvance(QStringLiteral("31 N")) + 18;
    g.top = 8 + 3 * line + 10;
    const double legend = line + 14;
    g.row = std::max(4.0, (height() - g.top - legend - 6) / kSymbolCount);
    // The last header reaches into the margin by as much as the others into their gaps.
    const double free = width() - g.left - 6;
    g.column = std::max(12.0, free / (kColumns + (kColumns - 0.6) * kGapPerColumn));
    g.gap = g.column * kGapPerColumn;

    // Headers in a smaller font where the widest would not fit over its column.
    const double headWidth = g.column + g.gap * 0.8;
    QFont headBold = bold;
    QFont headSmall = small;
    const double widest = QFontMetricsF(bold).horizontalAdvance(tr("Reflector"));
    if (widest > headWidth - 2) {
        const int pixels =
            std::max(7, static_cast<int>(small.pixelSize() * (headWidth - 2) / widest));
        headBold.setPixelSize(pixels);
        headSmall.setPixelSize(pixels);
    }

    const KeyTrace* t = m_trace ? &*m_trace : nullptr;
    const QColor ink(0x34, 0x3a, 0x40);
    const QColor faint(0x86, 0x8e, 0x96);

    // Headers: what each column is, the disc in the slot, its position before and after.
    for (int c = 0; c < kColumns; ++c) {
        const QRectF head(g.x0(c) - g.gap * 0.4, 6, headWidth, 3 * line + 4);
        const int s = c; // slot number for columns 1..5
        const bool slot = c >= 1 && c <= 5;
        const bool stepped = t && slot && t->stepped[static_cast<std::size_t>(s - 1)];
        if (stepped) {
            p.setPen(QPen(kStepped, 1.5));
            p.setBrush(QColor(0xd3, 0xf9, 0xd8));
            p.drawRoundedRect(head, 5, 5);
        }
        p.setPen(ink);
        p.setFont(headBold);
        const QString title = c == 0            ? tr("Card")
                              : c == kReflector ? tr("Reflector")
                                                : tr("Slot %1").arg(s);
        p.drawText(QRectF(head.left(), head.top() + 2, head.width(), line), Qt::AlignCenter, title);
        p.setFont(headSmall);
        QString second;
        QString third;
        if (slot && t) {
            const auto i = static_cast<std::size_t>(s - 1);
            second = tr("disc %1").arg(t->disc[i]);
            third = stepped ? positionText(t->before[i]) + QStringLiteral(" → ") +
                                  positionText(t->after[i])
                            : positionText(t->before[i]);
        } else if (c == 0 && t) {
            second = tr("key %1").arg(QLatin1Char(m_letter ? m_letter : symbol(t->keyIndex)));
            third = tr("out %1").arg(QLatin1Char(t->symbol));
        } else if (c == kReflector) {
            second = tr("15 straight");
        }
        if (stepped)
            p.setPen(kStepped.darker(130));
        p.drawText(QRectF(head.left(), head.top() + 2 + line, head.width(), line), Qt::AlignCenter,
                   second);
        p.setFont(stepped ? headBold : headSmall);
        p.drawText(QRectF(head.left(), head.top() + 2 + 2 * line, head.width(), line),
                   Qt::AlignCenter, third);
        p.setFont(headSmall);
    }

    p.setFont(small);

    // The columns and their contacts.
    for (int c = 0; c < kColumns; ++c) {
        const QRectF box(g.x0(c), g.top - 4, g.column, kSymbolCount * g.row + 8);
        p.setPen(QPen(QColor(0xce, 0xd4, 0xda), 1));
        p.setBrush(QColor(0xf1, 0xf3, 0xf5));
        p.drawRoundedRect(box, 6, 6);
        p.setPen(Qt::NoPen);
        p.setBrush(faint);
        const double r = std::clamp(g.row * 0.12, 1.2, 2.2);
        for (int k = 1; k <= kSymbolCount; ++k) {
            p.drawEllipse(QPointF(g.x0(c), g.y(k)), r, r);
            if (c != kReflector)
                p.drawEllipse(QPointF(g.x1(c), g.y(k)), r, r);
        }
    }
    // Contact 15 of the reflector lets the current through unchanged.
    p.setPen(QPen(faint, 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(g.x0(kReflector) + g.column * 0.35, g.y(15)), g.row * 0.35, g.row * 0.35);

    // Row numbers and symbols on the left; the key's row and the output's row stand out.
    const bool everyRow = g.row >= line * 0.95;
    for (int k = 1; k <= kSymbolCount; ++k) {
        const bool isKey = t && k == t->keyIndex;
        const bool isOut = t && k == t->output;
        if (!everyRow && k % 2 == 0 && !isKey && !isOut)
            continue;
        const QRectF label(2, g.y(k) - line / 2, g.left - 10, line);
        if (isKey || isOut) {
            p.setPen(Qt::NoPen);
            p.setBrush(isKey ? kForward : kBackward);
            p.drawRoundedRect(label.adjusted(-1, 0, 1, 0), 3, 3);
            p.setPen(Qt::white);
            p.setFont(bold);
        } else {
            p.setPen(faint);
            p.setFont(small);
        }
        p.drawText(label, Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("%1 %2").arg(k).arg(QLatin1Char(keySymbol(k))));
    }
    p.setFont(small);

    if (!t) {
        p.setPen(ink);
        p.drawText(QRectF(g.left, g.top, width() - g.left, kSymbolCount * g.row),
                   Qt::AlignCenter | Qt::TextWordWrap,
                   tr("No key yet.\nType a key to see its way through the machine."));
        return;
    }

    // The way in: the key into the card, through the discs' wiring, into the reflector.
    const double w = std::clamp(g.row * 0.2, 1.6, 3.5);
    QPainterPath in;
    std::vector<QPointF> inDots;
    in.moveTo(g.left - 6, g.y(t->keyIndex));
    const auto via = [](QPainterPath& path, std::vector<QPointF>& dots, QPointF a, QPointF b) {
        path.lineTo(a);
        path.lineTo(b);
        dots.push_back(a);
        dots.push_back(b);
    };
    via(in, inDots, {g.x0(0), g.y(t->keyIndex)}, {g.x1(0), g.y(t->card)});
    for (int s = 1; s <= 5; ++s) {
        const StageTrace& st = t->forward[static_cast<std::size_t>(s - 1)];
        via(in, inDots, {g.x0(s), g.y(st.entry)}, {g.x1(s), g.y(st.exit)});
    }
    const double turn = g.x0(kReflector) + g.column * 0.55;
    const int reflectorIn = t->forward[4].out;
    in.lineTo(g.x0(kReflector), g.y(reflectorIn));
    inDots.emplace_back(g.x0(kReflector), g.y(reflectorIn));
    if (reflectorIn == t->reflector) {
        in.lineTo(turn, g.y(reflectorIn));
    } else {
        in.lineTo(turn, g.y(reflectorIn));
        in.lineTo(turn, g.y(t->reflector));
    }
    in.lineTo(g.x0(kReflector), g.y(t->reflector));

    // The way back: through the discs' wiring backwards, and the card in reverse.
    QPainterPath back;
    std::vector<QPointF> backDots;
    back.moveTo(g.x0(kReflector), g.y(t->reflector));
    backDots.emplace_back(g.x0(kReflector), g.y(t->reflector));
    for (int s = 5; s >= 1; --s) {
        const StageTrace& st = t->backward[static_cast<std::size_t>(s - 1)];
        via(back, backDots, {g.x1(s), g.y(st.entry)}, {g.x0(s), g.y(st.exit)});
    }
    via(back, backDots, {g.x1(0), g.y(t->backward[0].out)}, {g.x0(0), g.y(t->output)});
    back.lineTo(g.left - 6, g.y(t->output));

    p.setBrush(Qt::NoBrush);
    for (const auto& [path, dots, colour] :
         {std::tuple{&back, &backDots, kBackward}, std::tuple{&in, &inDots, kForward}}) {
        p.setPen(QPen(colour, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(*path);
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        for (const QPointF& d : *dots)
            p.drawEllipse(d, w * 1.3, w * 1.3);
    }

    // Legend.
    const double y = g.bottom() + 8 + line / 2;
    double x = g.left;
    const auto sample = [&](const QColor& colour, const QString& text) {
        if (x + 32 + fm.horizontalAdvance(text) > width())
            return; // no room left at this size
        p.setPen(QPen(colour, w, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(x, y), QPointF(x + 26, y));
        p.setPen(ink);
        p.drawText(QPointF(x + 32, y + fm.ascent() / 2 - 1), text);
        x += 32 + fm.horizontalAdvance(text) + 24;
    };
    sample(kForward, tr("way in"));
    sample(kBackward, tr("way back"));
    p.setPen(QPen(kStepped, 1.5));
    p.setBrush(QColor(0xd3, 0xf9, 0xd8));
    p.drawRoundedRect(QRectF(x, y - line / 2, 26, line), 3, 3);
    p.setPen(ink);
    p.drawText(QPointF(x + 32, y + fm.ascent() / 2 - 1),
               tr("slot stepped (position before → after)"));
}

} // namespace zelmak
