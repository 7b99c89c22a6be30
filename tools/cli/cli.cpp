#include "cli.h"

#include "files/file_error.h"
#include "files/key_file.h"
#include "machine/key_alphabet.h"
#include "machine/machine.h"
#include "machine/text_feed.h"
#include "settings/random_setting.h"
#include "settings/settings.h"

#include <cerrno>
#include <cstring>
#include <optional>

namespace zelmak::cli {

namespace {

constexpr int kOk = 0;
constexpr int kFileFailure = 1;
constexpr int kUsageFailure = 2;

constexpr const char* kUsage =
    "Usage: zelmak-cli [--decipher] [--key FILE] [--start POSITIONS] [--report] [INPUT]\n"
    "       zelmak-cli --new-key FILE\n"
    "\n"
    "Runs a text through the Zelmak machine and writes the output symbols to standard\n"
    "output, as \"Save CipherCode\" stores them, with no line break added.\n"
    "\n"
    "  INPUT             the text to key (8-bit bytes); without it, or with \"-\", standard\n"
    "                    input. a..z count as A..Z, a space and \"_\" as the word space;\n"
    "                    characters without a key (0 1 J W X, punctuation, line breaks)\n"
    "                    are skipped.\n"
    "  --decipher        decipher instead of cipher (type the cipher text's Y as Y)\n"
    "  --key FILE        the card and disc numbers from a 36-byte key file; without it\n"
    "                    the service setting (identity card, discs 1 2 3 4 5)\n"
    "  --start POSITIONS five symbols for the positions of disc slots 1..5 (default AAAAA)\n"
    "  --report          after the run, write the five end positions to standard error\n"
    "  --new-key FILE    draw a random key setting, as \"Random Cipher\" does, and write it\n"
    "                    as a new 36-byte key file; an existing FILE is never replaced\n"
    "  --help            show this text\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written (or the FILE of --new-key\n"
    "exists already), 2 a wrong command line or a key setting that the setting check rejects.\n";

struct Options {
    bool decipher = false;
    bool report = false;
    bool help = false;
    std::optional<std::string> keyFile;
    std::optional<std::string> newKeyFile;
    std::string start = "AAAAA";
    bool startGiven = false;
    std::optional<std::string> input;
};

struct UsageError {
    std::string message;
};

Options parse(const std::vector<std::string>& args) {
    Options o;
    bool inputSeen = false;
    auto value = [&](std::size_t& i, const std::string& name) -> std::string {
        const std::string& arg = args[i];
        if (arg.size() > name.size() && arg[name.size()] == '=')
            return arg.substr(name.size() + 1);
        if (i + 1 >= args.size())
            throw UsageError{name + " needs a value"};
        return args[++i];
    };
    auto is = [](const std::string& arg, const std::string& name) {
        return arg == name || (arg.rfind(name + "=", 0) == 0);
    };
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == "--help") {
            o.help = true;
        } else if (!optionsEnded && arg == "--decipher") {
            o.decipher = true;
        } else if (!optionsEnded && arg == "--report") {
            o.report = true;
        } else if (!optionsEnded && is(arg, "--key")) {
            o.keyFile = value(i, "--key");
        } else if (!optionsEnded && is(arg, "--new-key")) {
            o.newKeyFile = value(i, "--new-key");
        } else if (!optionsEnded && is(arg, "--start")) {
            o.start = value(i, "--start");
            o.startGiven = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            throw UsageError{"unknown option " + arg};
        } else {
            if (inputSeen)
                throw UsageError{"only one INPUT may be given"};
            inputSeen = true;
            if (arg != "-")
                o.input = arg;
        }
    }
    if (o.newKeyFile && (o.decipher || o.report || o.keyFile || o.startGiven || inputSeen))
        throw UsageError{"--new-key takes no other options and no INPUT"};
    return o;
}

// Five KeyAlphabet symbols, either case, for slots 1..5.
std::array<int, 5> parseStart(const std::string& text) {
    std::string alphabet;
    for (const char symbol : kKeyAlphabet)
        alphabet += alphabet.empty() ? std::string(1, symbol) : std::string{' ', symbol};
    if (text.size() != 5)
        throw UsageError{"--start needs exactly five symbols, one for each disc slot, not " +
                         std::to_string(text.size()) + " (\"" + text + "\")"};
    std::array<int, 5> positions{};
    for (std::size_t s = 0; s < 5; ++s) {
        char c = text[s];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        const auto index = symbolIndex(c);
        if (!index)
            throw UsageError{"--start: \"" + std::string(1, text[s]) + "\" for slot " +
                             std::to_string(s + 1) + " is not a symbol of the key alphabet (" +
                             alphabet + ")"};
        positions[s] = *index - 1;
    }
    return positions;
}

// Draws a setting as "Random Cipher" does and stores it in a file that did not exist before.
int newKey(const std::string& path, std::FILE* err) {
    SystemRandomSource source;
    try {
        if (!createKeyFile(path, drawRecord(source))) {
            std::fprintf(err, "zelmak-cli: %s exists already; --new-key never replaces a file\n",
                         path.c_str());
            return kFileFailure;
        }
    } catch (const Error& e) {
        std::fprintf(err, "%s.\n", e.what());
        return kFileFailure;
    }
    return kOk;
}

bool writeAll(std::FILE* out, const std::string& text) {
    return text.empty() || std::fwrite(text.data(), 1, text.size(), out) == text.size();
}

} // namespace

int run(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err) {
    Options o;
    std::array<int, 5> start{};
    try {
        o = parse(args);
        if (o.help) {
            std::fputs(kUsage, out);
            return std::fflush(out) == 0 ? kOk : kFileFailure;
        }
        if (o.newKeyFile)
            return newKey(*o.newKeyFile, err);
        start = parseStart(o.start);
    } catch (const UsageError& e) {
        std::fprintf(err, "zelmak-cli: %s\n\n%s", e.message.c_str(), kUsage);
        return kUsageFailure;
    }

    KeyRecordBytes record = serviceRecord();
    if (o.keyFile) {
        try {
            record = readKeyRecord(*o.keyFile);
        } catch (const FileError& e) {
            std::fprintf(err, "%s.\n", e.what());
            return kFileFailure;
        }
        std::array<int, 31> card{};
        std::array<int, 5> discs{};
        for (std::size_t k = 0; k < card.size(); ++k)
            card[k] = record[k];
        for (std::size_t s = 0; s < discs.size(); ++s)
            discs[s] = record[kCardBytes + s];
        if (!cardIsValid(card)) {
            std::fprintf(err, "%s\n", kCardRejected);
            return kUsageFailure;
        }
        if (!discsAreValid(discs)) {
            std::fprintf(err, "%s\n", kDiscsRejected);
            return kUsageFailure;
        }
    }

    MachineState m = machineFor(record);
    m.mode = o.decipher ? Mode::Decipher : Mode::Cipher;
    for (int s = 1; s <= 5; ++s)
        m.positions[s] = start[static_cast<std::size_t>(s - 1)];

    std::FILE* source = in;
    std::FILE* opened = nullptr;
    if (o.input) {
        opened = std::fopen(o.input->c_str(), "rb");
        if (!opened) {
            std::fprintf(err, "Kann Datei %s nicht öffnen.\n", o.input->c_str());
            return kFileFailure;
        }
        source = opened;
    }

    // The text goes through in chunks, so a long text needs no more memory than a short one.
    std::string chunk(1 << 20, '\0');
    int status = kOk;
    for (;;) {
        const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), source);
        if (n > 0) {
            feedText(m, std::string_view(chunk.data(), n));
            if (!writeAll(out, m.outputText)) {
                std::fprintf(err, "Stream-Write-Fehler .\n");
                status = kFileFailure;
                break;
            }
            m.inputText.clear();
            m.outputText.clear();
        }
        if (n < chunk.size()) {
            if (std::ferror(source)) {
                std::fprintf(err, "zelmak-cli: reading %s failed: %s\n",
                             o.input ? o.input->c_str() : "standard input", std::strerror(errno));
                status = kFileFailure;
            }
            break;
        }
    }
    if (opened)
        std::fclose(opened);
    if (status == kOk && std::fflush(out) != 0) {
        std::fprintf(err, "Stream-Write-Fehler .\n");
        status = kFileFailure;
    }
    if (o.report) {
        std::string positions = "positions: ";
        for (int s = 1; s <= 5; ++s)
            positions += positionSymbol(m.positions[s]);
        std::fprintf(err, "%s\n", positions.c_str());
    }
    return status;
}

} // namespace zelmak::cli
