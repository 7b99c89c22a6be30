#include "command_line.h"

#include "command_line_rules.h" // zelmak-cli's rules and shown()

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>

namespace zelmak::brk {

const char* const kUsage =
    "Usage: zelmak-break crib --crib TEXT [--at N | --at N-M] [--order DIGITS]\n"
    "                         [--key FILE] [--complete] [--top K] [--json]\n"
    "                         [--out-key FILE] [--threads N] [--language FILE]\n"
    "                         [--quiet] [INPUT]\n"
    "       zelmak-break start --key FILE [--all-orders] [--top K] [--json]\n"
    "                          [--threads N] [--language FILE] [--quiet] [INPUT]\n"
    "       zelmak-break stats [--json] [INPUT]\n"
    "       zelmak-break --help\n"
    "\n"
    "Finds the setting of a message keyed in Cipher mode and reads it.\n"
    "\n"
    "  crib    a crib search: TEXT stands in the clear text at a known place; every\n"
    "          disc order and start position that fits it is tried, and the\n"
    "          settings that fit are ranked by how German the message reads with\n"
    "          the card entries the crib reveals\n"
    "  start   a start search: the card and disc order are known (a key file), the\n"
    "          start positions are not; every start is scored by the language\n"
    "  stats   the symbol counts, index of coincidence and language score of INPUT\n"
    "\n"
    "  INPUT            the message as Zelmak writes it (a .cif file, or zelmak-cli's\n"
    "                   output, in groups or not; blanks and line breaks are layout,\n"
    "                   Y is a symbol); without it, or with \"-\", standard input\n"
    "  --crib TEXT      clear text read as zelmak-cli reads its input: a..z as A..Z,\n"
    "                   a space or \"_\" the word space\n"
    "  --at N, --at N-M the crib's first symbol stands at message symbol N (counted\n"
    "                   from 0), or anywhere from N to M (default 0)\n"
    "  --order DIGITS   the disc numbers of slots 1..5, such as 31425; without it\n"
    "                   all 120 disc orders\n"
    "  --key FILE       a 36-byte key file: crib searches only the start positions;\n"
    "                   start takes its card and disc order\n"
    "  --all-orders     start: only the key file's card is known; try all 120 orders\n"
    "  --complete       fill in the card entries the crib does not reveal from the\n"
    "                   language of the whole message\n"
    "  --top K          show the K best settings (1..1000, default 10)\n"
    "  --json           write one JSON object instead of the lines\n"
    "  --out-key FILE   write the best setting as a new key file, when its card is\n"
    "                   complete; an existing FILE is never replaced\n"
    "  --threads N      search on N threads (1..1024; default one per core)\n"
    "  --language FILE  learn the language from this sample text instead of the\n"
    "                   built-in German\n"
    "  --quiet          no estimate and no progress on standard error\n"
    "  --help           show this text\n"
    "  --               every argument after it is INPUT, also one that starts with -\n"
    "\n"
    "Each setting found is one line, best first: the crib's offset, the disc order,\n"
    "the start positions (as zelmak-cli --start takes them), the card as the 31\n"
    "card selectors show it (\".\" where unknown) and the message as Decipher mode\n"
    "shows it (\"_\" the word space, \".\" where an unknown card entry hides a symbol).\n"
    "On a terminal, standard error shows the progress; Ctrl+C stops the search and\n"
    "shows what was found so far. Under mpirun the ranks share the search and the\n"
    "first rank writes the result.\n"
    "\n"
    "Examples:\n"
    "  zelmak-break crib --crib 'AN DEN STAB DER ZVVEITEN ABTEILUNG' --order 41352 \\\n"
    "      letter.cif\n"
    "  zelmak-break crib --crib 'AN DEN STAB DER ZVVEITEN ABTEILUNG' --at 0-20 \\\n"
    "      --complete --out-key found.key letter.cif\n"
    "  zelmak-break start --key day.key letter.cif\n"
    "  zelmak-break stats letter.cif\n"
    "  mpirun --hostfile hosts zelmak-break crib --crib 'AN DEN STAB DER ZVVEITEN' \\\n"
    "      letter.cif\n"
    "\n"
    "Exit status: 0 done; 1 a file could not be read or written, or the key file to\n"
    "be made exists already; 2 a wrong command line, or a key setting that the\n"
    "setting check rejects; 4 no setting fits; 130 stopped by Ctrl+C.\n";

namespace {

// A whole number from `least` to `most` in decimal digits only; nothing otherwise.
std::optional<int> numberIn(std::string_view text, int least, int most) {
    int n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() ||
        text.front() == '+' || text.front() == '-' || n < least || n > most)
        return std::nullopt;
    return n;
}

int countOption(const std::string& name, const std::string& text, int most) {
    const auto n = numberIn(text, 1, most);
    if (!n)
        throw UsageError{name + " needs a whole number from 1 to " + std::to_string(most) +
                         ", not \"" + cli::shown(text) + "\""};
    return *n;
}

void parseOffsets(const std::string& text, Options& o) {
    constexpr int kMost = 1 << 30;
    const auto dash = text.find('-');
    const auto first = numberIn(text.substr(0, dash), 0, kMost);
    const auto last = dash == std::string::npos
                          ? first
                          : numberIn(std::string_view(text).substr(dash + 1), 0, kMost);
    if (!first || !last || *last < *first)
        throw UsageError{"--at needs an offset N or a range N-M (N up to M), not \"" +
                         cli::shown(text) + "\""};
    o.firstOffset = *first;
    o.lastOffset = *last;
}

struct Named {
    const char* name;
    Command command;
};
constexpr Named kCommands[] = {
    {"crib", Command::Crib}, {"start", Command::Start}, {"stats", Command::Stats}};

} // namespace

Options parseOptions(const std::vector<std::string>& args) {
    Options o;
    if (args.empty())
        throw UsageError{"a command is needed: crib, start or stats"};
    if (args.front() == "--help")
        return o;
    const auto named = std::find_if(std::begin(kCommands), std::end(kCommands),
                                    [&](const Named& c) { return args.front() == c.name; });
    if (named == std::end(kCommands))
        throw UsageError{"unknown command \"" + cli::shown(args.front()) +
                         "\": the commands are crib, start and stats"};
    o.command = named->command;
    const std::vector<std::string> rest(args.begin() + 1, args.end());

    CLI::App app{"", "zelmak-break"};
    app.set_help_flag("--help");
    app.allow_extras();
    std::vector<std::pair<const char*, CLI::Option*>> given;
    auto flag = [&](const char* name, bool& value) {
        given.emplace_back(name, app.add_flag(name, value));
    };
    std::string cribText, at, order, keyFile, top, threads, outKey, language, input;
    auto valued = [&](const char* name, std::string& value, const char* type) {
        given.emplace_back(name, app.add_option(name, value)
                                     ->type_name(type)
                                     ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast));
    };
    const bool crib = o.command == Command::Crib;
    const bool start = o.command == Command::Start;
    flag("--json", o.json);
    if (crib || start) {
        valued("--key", keyFile, "FILE");
        valued("--top", top, "K");
        valued("--threads", threads, "N");
        valued("--language", language, "FILE");
        flag("--quiet", o.quiet);
    }
    if (crib) {
        valued("--crib", cribText, "TEXT");
        valued("--at", at, "N");
        valued("--order", order, "DIGITS");
        valued("--out-key", outKey, "FILE");
        flag("--complete", o.complete);
    }
    if (start)
        flag("--all-orders", o.allOrders);
    given.emplace_back("INPUT", app.add_option("INPUT", input));

    cli::refuseFlagValues(rest, {"--complete", "--all-orders", "--json", "--quiet", "--help"});
    if (cli::parseArguments(app, rest)) {
        o.command = Command::Help;
        return o;
    }
    cli::refuseLeftOvers(rest, app.remaining(), std::string(named->name) + " has no option");
    auto has = [&](std::string_view name) {
        return std::any_of(given.begin(), given.end(),
                           [&](const auto& g) { return g.first == name && g.second->count() > 0; });
    };
    // An empty name names no file: a wrong command line, not a file that cannot be opened.
    for (const auto& [name, value] : {std::pair{"--key", &keyFile}, std::pair{"--out-key", &outKey},
                                      std::pair{"--language", &language}})
        if (has(name) && value->empty())
            throw UsageError{std::string(name) + " needs a file name"};
    if (has("INPUT") && input.empty())
        throw UsageError{"INPUT needs a file name, or \"-\" for standard input"};

    if (has("--top"))
        o.top = static_cast<std::size_t>(countOption("--top", top, 1000));
    if (has("--threads"))
        o.threads = static_cast<unsigned>(countOption("--threads", threads, 1024));
    if (has("--key"))
        o.keyFile = keyFile;
    if (has("--language"))
        o.language = language;
    if (has("--out-key"))
        o.outKey = outKey;
    if (has("INPUT") && input != "-")
        o.input = input;
    if (start && !o.keyFile)
        throw UsageError{"start needs --key FILE, the card and disc order"};
    if (!crib)
        return o;

    if (!has("--crib"))
        throw UsageError{"crib needs --crib TEXT, the clear text at the offset"};
    try {
        o.crib = analysis::readCrib(cribText);
    } catch (const analysis::InputError& e) {
        throw UsageError{std::string("--crib: ") + e.what()};
    }
    if (o.crib.empty())
        throw UsageError{"--crib needs a text"};
    o.cribText = cribText;
    if (has("--at"))
        parseOffsets(at, o);
    if (has("--order")) {
        if (o.keyFile)
            throw UsageError{"--order and --key cannot be used together: the key file holds the "
                             "disc order"};
        o.order = analysis::parseDiscOrder(order);
        if (!o.order)
            throw UsageError{"--order needs the five disc numbers 1 to 5 of slots 1..5, each once, "
                             "such as 31425, not \"" +
                             cli::shown(order) + "\""};
    }
    return o;
}

} // namespace zelmak::brk
