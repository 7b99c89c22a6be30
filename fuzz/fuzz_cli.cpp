// zelmak-cli with any command line and any standard input. The input up to its first NUL is the
// command line, one argument per line; the rest is standard input, and also the content of the
// file "input" in the scratch folder, so a run can name it as INPUT or as a key file. Every path
// on the command line is taken into the scratch folder, so no run reads or writes elsewhere.
// A plain run must key its input and give it back the other way; the other tasks and layouts
// must end with a known status and say why they failed.

#include "cli.h"
#include "fuzz_support.h"
#include "machine/key_alphabet.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace zelmak {
namespace {

using fuzz::expect;

// What the command line asks for, read the way the program reads it.
struct Request {
    std::vector<std::string> args;
    bool decipher = false;
    std::optional<std::string> keyFile;
    std::optional<std::string> newKeyFile;
    std::optional<std::string> start;
    bool plain = true; // a run that writes the bare text
};

// Options after which the output is no bare text of the input as keyed.
bool changesTheOutput(const std::string& arg) {
    for (const char* name : {"--group", "--groups-per-line", "--ignore-blanks", "--json", "--trace",
                             "--check-value", "--self-test", "--key-sheet", "--out"})
        if (arg == name || arg.rfind(std::string(name) + "=", 0) == 0)
            return true;
    return false;
}

// A name inside the scratch folder: a slash cannot lead out of it.
std::string confined(std::string name) {
    std::replace(name.begin(), name.end(), '/', '_');
    return fuzz::scratchFile(name);
}

Request commandLine(std::string_view text) {
    std::vector<std::string> raw;
    std::size_t from = 0;
    for (;;) {
        const std::size_t nl = text.find('\n', from);
        raw.emplace_back(text.substr(from, nl == std::string_view::npos ? nl : nl - from));
        if (nl == std::string_view::npos)
            break;
        from = nl + 1;
    }
    if (text.empty())
        raw.clear();

    Request r;
    bool optionsEnded = false;
    // A path goes into the scratch folder; "-" of --trace is standard output.
    auto valued = [&](std::size_t& i, const std::string& name, bool isPath) {
        const auto place = [&](std::string value) {
            return isPath && !(name == "--trace" && value == "-") ? confined(value) : value;
        };
        std::string& arg = raw[i];
        if (arg.size() > name.size() && arg[name.size()] == '=') {
            const std::string value = place(arg.substr(name.size() + 1));
            r.args.push_back(name + "=" + value);
            return std::optional<std::string>(value);
        }
        r.args.push_back(arg);
        if (i + 1 >= raw.size())
            return std::optional<std::string>();
        const std::string value = place(raw[++i]);
        r.args.push_back(value);
        return std::optional<std::string>(value);
    };
    auto is = [](const std::string& arg, const std::string& name) {
        return arg == name || arg.rfind(name + "=", 0) == 0;
    };
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const std::string& arg = raw[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            r.args.push_back(arg);
        } else if (!optionsEnded && is(arg, "--key")) {
            r.keyFile = valued(i, "--key", true);
        } else if (!optionsEnded && is(arg, "--new-key")) {
            r.newKeyFile = valued(i, "--new-key", true);
        } else if (!optionsEnded && is(arg, "--start")) {
            r.start = valued(i, "--start", false);
        } else if (!optionsEnded && (is(arg, "--trace") || is(arg, "--out"))) {
            r.plain = false;
            valued(i, is(arg, "--trace") ? "--trace" : "--out", true);
        } else if (!optionsEnded && changesTheOutput(arg)) {
            r.plain = false;
            r.args.push_back(arg);
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            r.decipher = r.decipher || arg == "--decipher";
            r.args.push_back(arg);
        } else {
            r.args.push_back(arg == "-" ? arg : confined(arg));
        }
    }
    return r;
}

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

Outcome runCli(const std::vector<std::string>& args, const std::string& stdinPath) {
    std::FILE* in = std::fopen(stdinPath.c_str(), "rb");
    char* outBuf = nullptr;
    char* errBuf = nullptr;
    std::size_t outLen = 0;
    std::size_t errLen = 0;
    std::FILE* out = ::open_memstream(&outBuf, &outLen);
    std::FILE* err = ::open_memstream(&errBuf, &errLen);
    if (!in || !out || !err)
        fuzz::fail("cannot open the streams of a run");
    Outcome o;
    o.status = cli::run(args, in, out, err);
    std::fclose(in);
    std::fclose(out);
    std::fclose(err);
    o.out.assign(outBuf, outLen);
    o.err.assign(errBuf, errLen);
    std::free(outBuf);
    std::free(errBuf);
    return o;
}

// A file that --new-key made: a card using every symbol once and five different discs.
void expectNewKey(const std::string& path) {
    const std::string bytes = fuzz::readFile(path);
    expect(bytes.size() == 36, "--new-key wrote no 36-byte key file");
    std::array<bool, 32> used{};
    for (std::size_t k = 0; k < 31; ++k) {
        const auto b = static_cast<unsigned char>(bytes[k]);
        expect(b >= 1 && b <= 31 && !used[b], "--new-key wrote an invalid card");
        used[b] = true;
    }
    std::array<bool, 5> discUsed{};
    for (std::size_t s = 31; s < 36; ++s) {
        const auto b = static_cast<unsigned char>(bytes[s]);
        expect(b <= 4 && !discUsed[b], "--new-key wrote invalid disc numbers");
        discUsed[b] = true;
    }
}

} // namespace
} // namespace zelmak

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zelmak;
    const std::string_view bytes = fuzz::bytesOf(data, size);
    const std::size_t nul = bytes.find('\0');
    const std::string_view line = bytes.substr(0, nul);
    const std::string_view text = nul == std::string_view::npos ? "" : bytes.substr(nul + 1);

    fuzz::clearScratch();
    const std::string stdinPath = fuzz::scratchFile("stdin");
    fuzz::writeFile(stdinPath, text);
    fuzz::writeFile(fuzz::scratchFile("input"), text);
    const Request r = commandLine(line);

    const Outcome o = runCli(r.args, stdinPath);
    expect(o.status >= 0 && o.status <= 2, "an exit status other than 0, 1, 2");
    if (o.status != 0) {
        // A line that names the program; a wrong command line also points to --help, a
        // rejected key setting gives the check's verdict.
        expect(o.err.rfind("zelmak-cli: ", 0) == 0, "a failed run did not say why");
        expect(o.status != 2 || o.err.ends_with("; see zelmak-cli --help\n") ||
                   o.err.ends_with(": Error Cipher-Card!\n") ||
                   o.err.ends_with(": Error Cipher-Disc !!\n"),
               "a refused command line did not say why");
        return 0;
    }
    if (o.out.rfind("Usage: zelmak-cli", 0) == 0 || !r.plain)
        return 0; // --help, or a task or layout the checks below do not read
    if (r.newKeyFile) {
        expect(o.out.empty(), "--new-key wrote to standard output");
        expectNewKey(*r.newKeyFile);
        return 0;
    }
    const bool cipher = !r.decipher;
    expect(fuzz::onlyOutputSymbols(o.out, cipher), "a run wrote a symbol that is no output");
    expect(o.out.size() == fuzz::keyedSymbols(text, cipher).size(),
           "a run did not write one symbol per keyed character");

    // The other mode, with the same key and start, gives the keyed text back.
    // (Its input goes to a file of its own: the first run may have used "stdin" as its key.)
    const std::string backPath = fuzz::scratchFile("back");
    fuzz::writeFile(backPath, o.out);
    std::vector<std::string> back;
    if (cipher)
        back.emplace_back("--decipher");
    if (r.keyFile)
        back.push_back("--key=" + *r.keyFile);
    if (r.start)
        back.push_back("--start=" + *r.start);
    const Outcome b = runCli(back, backPath);
    expect(b.status == 0, "the way back failed");
    expect(b.out == fuzz::keyedSymbols(text, !cipher), "the way back did not give the text back");
    return 0;
}
