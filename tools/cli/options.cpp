#include "options.h"

#include "command_line_rules.h"

#include "machine/key_alphabet.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <tuple>

namespace zelmak::cli {

const char* const kUsage =
    "Usage: zelmak-cli [OPTIONS] [INPUT]\n"
    "       zelmak-cli --new-key FILE\n"
    "       zelmak-cli --check-value [--key FILE]\n"
    "       zelmak-cli --self-test\n"
    "       zelmak-cli --key-sheet YYYY-MM --out DIR\n"
    "\n"
    "Runs a text through the Zelmak machine and writes the output symbols to standard\n"
    "output, as \"Save CipherCode\" stores them, with no line break added.\n"
    "\n"
    "  INPUT               the text to key (8-bit bytes); without it, or with \"-\",\n"
    "                      standard input. a..z count as A..Z, a space and \"_\" as the\n"
    "                      word space; characters without a key (0 1 J W X, punctuation,\n"
    "                      line breaks) are skipped.\n"
    "  --decipher          decipher instead of cipher (type the cipher text's Y as Y)\n"
    "  --key FILE          the card and disc numbers from a 36-byte key file; without it\n"
    "                      the service setting (identity card, discs 1 2 3 4 5)\n"
    "  --start POSITIONS   five symbols for the positions of disc slots 1..5\n"
    "                      (default AAAAA)\n"
    "  --report            after the run, write the five end positions to standard error\n"
    "  --group N           write the output in groups of N symbols (1..100) with one\n"
    "                      blank between groups\n"
    "  --groups-per-line M with --group: a line break (CR LF) after every M groups\n"
    "                      (1..100, default 10)\n"
    "  --ignore-blanks     blanks of INPUT are layout, not word spaces, so that grouped\n"
    "                      cipher text deciphers as if it were written in one run\n"
    "  --json              write one JSON object instead of the text: mode, start and end\n"
    "                      positions, keyed input, output, skipped bytes, check value\n"
    "  --trace FILE        write one CSV line per key to FILE, with the index after every\n"
    "                      stage of the machine; \"-\": to standard output, in place of\n"
    "                      the text\n"
    "  --check-value       write the check value of the setting (AAAAA keyed from\n"
    "                      positions AAAAA in Cipher mode) and stop\n"
    "  --self-test         run the built-in known answers, one line each\n"
    "  --new-key FILE      draw a random key setting, as \"Random Cipher\" does, and write\n"
    "                      it as a new 36-byte key file; an existing FILE is never replaced\n"
    "  --key-sheet YYYY-MM --out DIR\n"
    "                      draw one setting for every day of the month and write\n"
    "                      DIR/YYYY-MM-DD.key for each day and the printable sheet\n"
    "                      DIR/YYYY-MM.html with DIR/YYYY-MM.txt; no file is replaced;\n"
    "                      DIR is made when it is missing\n"
    "  --help              show this text\n"
    "  --                  every argument after it is INPUT, also one that starts with -\n"
    "\n"
    "Examples:\n"
    "  printf 'HALLO ALLE' | zelmak-cli                   writes 5M5QHAI6Y4\n"
    "  printf '5M5QHAI6Y4' | zelmak-cli --decipher        writes HALLO_ALLE\n"
    "  zelmak-cli --key day.key --start Q7ZN2 letter.txt > letter.cif\n"
    "  zelmak-cli --report letter.txt                     positions: ... on standard error\n"
    "  zelmak-cli --group 5 letter.txt                    5M5QH AI6Y4 ...\n"
    "  zelmak-cli --group 5 --groups-per-line 6 letter.txt > letter.cif\n"
    "  zelmak-cli --decipher --ignore-blanks letter.cif   reads the groups back\n"
    "  zelmak-cli --json letter.txt                       {\"mode\":\"cipher\",...}\n"
    "  zelmak-cli --trace keys.csv letter.txt\n"
    "  zelmak-cli --check-value --key day.key             writes the setting's check value\n"
    "  zelmak-cli --self-test\n"
    "  zelmak-cli --new-key day.key\n"
    "  zelmak-cli --key-sheet 2025-03 --out sheets        31 key files and the sheet\n"
    "  zelmak-cli -- -odd-name.txt\n"
    "\n"
    "Exit status: 0 done; 1 a file could not be read or written, or a file to be made\n"
    "exists already; 2 a wrong command line, or a key setting that the setting check\n"
    "rejects; 3 a known answer of --self-test did not come out.\n";

namespace {

// A whole number from 1 to `most`, written in decimal digits only.
CLI::Validator countFrom1To(int most) {
    return CLI::Validator(
        [most](const std::string& text) -> std::string {
            int n = 0;
            const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
            if (ec == std::errc() && end == text.data() + text.size() && n >= 1 && n <= most &&
                text.front() != '+')
                return {};
            return "needs a whole number from 1 to " + std::to_string(most) + ", not \"" +
                   shown(text) + "\"";
        },
        "");
}

// Five KeyAlphabet symbols, either case, for slots 1..5.
std::array<int, 5> parseStart(const std::string& text) {
    std::string alphabet;
    for (const char symbol : kKeyAlphabet)
        alphabet += alphabet.empty() ? std::string(1, symbol) : std::string{' ', symbol};
    const std::vector<std::string_view> chars = characters(text);
    if (chars.size() != 5)
        throw UsageError{"--start needs exactly five symbols, one for each disc slot, not " +
                         std::to_string(chars.size()) + " (\"" + shown(text) + "\")"};
    std::array<int, 5> positions{};
    for (std::size_t s = 0; s < 5; ++s) {
        std::optional<int> index;
        if (chars[s].size() == 1) {
            char c = chars[s][0];
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
            index = symbolIndex(c);
        }
        if (!index)
            throw UsageError{"--start: \"" + shown(chars[s]) + "\" for slot " +
                             std::to_string(s + 1) + " is not a symbol of the key alphabet (" +
                             alphabet + ")"};
        positions[s] = *index - 1;
    }
    return positions;
}

// YYYY-MM: a year 0001..9999 and a month 01..12.
void parseMonth(const std::string& text, Options& o) {
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const bool digits = text.size() == 7 && text[4] == '-' &&
                        std::all_of(text.begin(), text.begin() + 4, digit) &&
                        std::all_of(text.begin() + 5, text.end(), digit);
    if (digits) {
        o.sheetYear = std::stoi(text.substr(0, 4));
        o.sheetMonth = std::stoi(text.substr(5));
    }
    if (!digits || o.sheetYear < 1 || o.sheetMonth < 1 || o.sheetMonth > 12)
        throw UsageError{"--key-sheet needs a month written YYYY-MM, such as 2025-03, not \"" +
                         shown(text) + "\""};
}

} // namespace

std::vector<std::string_view> characters(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
        const unsigned char lead = byte(i);
        std::size_t length = 1;
        unsigned char low = 0x80; // the range of the byte after the lead
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        }
        bool whole = i + length <= text.size();
        for (std::size_t k = 1; whole && k < length; ++k) {
            const unsigned char b = byte(i + k);
            whole = k == 1 ? (b >= low && b <= high) : (b >= 0x80 && b <= 0xBF);
        }
        if (!whole)
            length = 1;
        out.push_back(text.substr(i, length));
        i += length;
    }
    return out;
}

std::string shown(std::string_view text) {
    std::string out;
    for (const std::string_view c : characters(text)) {
        const auto b = static_cast<unsigned char>(c[0]);
        if (c.size() > 1 || (b >= 0x20 && b < 0x7F)) {
            out.append(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", b);
            out += hex;
        }
    }
    return out;
}

Options parseOptions(const std::vector<std::string>& args) {
    Options o;
    std::string start;
    std::string month;
    std::string trace;
    std::string keyFile;
    std::string input;

    CLI::App app{"", "zelmak-cli"};
    app.set_help_flag("--help");
    app.allow_extras();
    struct Named {
        const char* name;
        CLI::Option* option;
    };
    auto flag = [&](const char* name, bool& value) {
        return Named{name, app.add_flag(name, value)};
    };
    auto valued = [&](const char* name, auto& value, const char* type) {
        return Named{name, app.add_option(name, value)
                               ->type_name(type)
                               ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)};
    };
    bool checkValue = false;
    bool selfTest = false;
    const Named decipher = flag("--decipher", o.decipher);
    const Named report = flag("--report", o.report);
    const Named json = flag("--json", o.json);
    const Named ignoreBlanks = flag("--ignore-blanks", o.ignoreBlanks);
    const Named check = flag("--check-value", checkValue);
    const Named self = flag("--self-test", selfTest);
    const Named key = valued("--key", keyFile, "FILE");
    const Named startOption = valued("--start", start, "POSITIONS");
    const Named group = valued("--group", o.group, "N");
    group.option->check(countFrom1To(100));
    const Named perLine = valued("--groups-per-line", o.groupsPerLine, "M");
    perLine.option->check(countFrom1To(100));
    const Named traceOption = valued("--trace", trace, "FILE");
    const Named newKey = valued("--new-key", o.newKeyFile, "FILE");
    const Named sheet = valued("--key-sheet", month, "YYYY-MM");
    const Named out = valued("--out", o.outDir, "DIR");
    const Named inputOption{"INPUT", app.add_option("INPUT", input)};

    refuseFlagValues(args, {"--decipher", "--report", "--json", "--ignore-blanks", "--check-value",
                            "--self-test", "--help"});
    if (parseArguments(app, args)) {
        o.task = Task::Help;
        return o;
    }
    refuseLeftOvers(args, app.remaining(), "unknown option");

    const std::vector<Named> all{decipher,    report, json,        ignoreBlanks, check,
                                 self,        key,    startOption, group,        perLine,
                                 traceOption, newKey, sheet,       out,          inputOption};
    auto given = [](const Named& n) { return n.option->count() > 0; };
    // An empty name names no file: a wrong command line, not a file that cannot be opened.
    for (const auto& [named, value, what] :
         {std::tuple{&key, &keyFile, "a file name"},
          std::tuple{&newKey, &o.newKeyFile, "a file name"},
          std::tuple{&out, &o.outDir, "a folder name"},
          std::tuple{&inputOption, &input, "a file name, or \"-\" for standard input"}})
        if (given(*named) && value->empty())
            throw UsageError{std::string(named->name) + " needs " + what};
    // Besides its task option, a task takes only the options listed.
    auto takesOnly = [&](const Named& task, std::initializer_list<const Named*> allowed,
                         const std::string& message) {
        for (const Named& n : all) {
            const bool ok = n.option == task.option ||
                            std::any_of(allowed.begin(), allowed.end(),
                                        [&](const Named* a) { return a->option == n.option; });
            if (given(n) && !ok)
                throw UsageError{message};
        }
    };

    std::vector<const Named*> tasks;
    for (const Named* t : {&newKey, &check, &self, &sheet})
        if (given(*t))
            tasks.push_back(t);
    if (tasks.size() > 1)
        throw UsageError{std::string(tasks[0]->name) + " and " + tasks[1]->name +
                         " cannot be used together"};
    if (given(out) && !given(sheet))
        throw UsageError{"--out DIR goes with --key-sheet"};

    if (given(newKey)) {
        takesOnly(newKey, {}, "--new-key takes no other options and no INPUT");
        o.task = Task::NewKey;
        return o;
    }
    if (given(self)) {
        takesOnly(self, {}, "--self-test takes no other options and no INPUT");
        o.task = Task::SelfTest;
        return o;
    }
    if (given(sheet)) {
        takesOnly(sheet, {&out}, "--key-sheet takes no other option than --out DIR");
        if (!given(out))
            throw UsageError{"--key-sheet needs --out DIR, the folder for its files"};
        parseMonth(month, o);
        o.task = Task::KeySheet;
        return o;
    }
    if (given(key))
        o.keyFile = keyFile;
    if (given(check)) {
        takesOnly(check, {&key}, "--check-value takes no other option than --key FILE");
        o.task = Task::CheckValue;
        return o;
    }

    if (given(startOption))
        o.start = parseStart(start);
    if (given(perLine) && !given(group))
        throw UsageError{"--groups-per-line M goes with --group N"};
    if (given(traceOption)) {
        if (trace.empty())
            throw UsageError{"--trace needs a file name, or \"-\" for standard output"};
        if (trace == "-" && o.json)
            throw UsageError{"--json and --trace - cannot both write to standard output"};
        if (trace == "-" && given(group))
            throw UsageError{"--group lays out the text, which --trace - replaces"};
        o.trace = trace;
    }
    if (given(inputOption) && input != "-")
        o.input = input;
    return o;
}

} // namespace zelmak::cli
