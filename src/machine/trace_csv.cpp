#include "trace_csv.h"

#include "key_alphabet.h"

#include <charconv>

namespace zelmak {

namespace {

void appendNumber(std::string& out, std::uint64_t n) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    out.append(digits, end);
}

void appendField(std::string& out, int n) {
    out.push_back(',');
    if (n >= 0 && n < 10) {
        out.push_back(static_cast<char>('0' + n));
    } else if (n >= 10 && n < 100) {
        out.push_back(static_cast<char>('0' + n / 10));
        out.push_back(static_cast<char>('0' + n % 10));
    } else {
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
        out.append(digits, end);
    }
}

// A position the selectors cannot show (never set) has no symbol.
char symbolOf(int position) {
    return position >= 0 && position <= kLastPosition ? positionSymbol(position) : '?';
}

} // namespace

void appendTraceCsv(std::string& out, std::uint64_t key, char input, const KeyTrace& t) {
    appendNumber(out, key);
    out.push_back(',');
    out.push_back(input);
    appendField(out, t.keyIndex);
    out.push_back(',');
    for (const int p : t.before)
        out.push_back(symbolOf(p));
    appendField(out, t.card);
    for (const StageTrace& s : t.forward)
        appendField(out, s.out);
    appendField(out, t.reflector);
    for (auto s = t.backward.rbegin(); s != t.backward.rend(); ++s)
        appendField(out, s->out);
    appendField(out, t.output);
    out.push_back(',');
    out.push_back(t.symbol);
    out.push_back(',');
    for (std::size_t s = 0; s < t.stepped.size(); ++s)
        if (t.stepped[s])
            out.push_back(static_cast<char>('1' + s));
    out.append("\r\n");
}

} // namespace zelmak
