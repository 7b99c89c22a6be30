#include "cli.h"

#include "json_text.h"
#include "key_sheet.h"
#include "options.h"
#include "self_test.h"
#include "trace_sink.h"

#include "files/file_error.h"
#include "files/key_file.h"
#include "files/symbol_groups.h"
#include "machine/key_alphabet.h"
#include "machine/machine.h"
#include "machine/text_feed.h"
#include "machine/trace_csv.h"
#include "settings/random_setting.h"
#include "settings/settings.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <sys/stat.h>

namespace zelmak::cli {

namespace {

bool writeAll(std::FILE* out, std::string_view text) {
    return text.empty() || std::fwrite(text.data(), 1, text.size(), out) == text.size();
}

std::string positionsOf(const MachineState& m) {
    std::string symbols;
    for (int s = 1; s <= 5; ++s)
        symbols += positionSymbol(m.positions[s]);
    return symbols;
}

// A file error as the program says it: the message the window shows, then the system's reason,
// which tells a missing file from a permission problem.
void reportFileError(std::FILE* err, const std::string& name, const FileError& e) {
    if (e.systemError() != 0)
        std::fprintf(err, "zelmak-cli: %s: %s. (%s)\n", shown(name).c_str(), e.what(),
                     std::strerror(e.systemError()));
    else
        std::fprintf(err, "zelmak-cli: %s: %s.\n", shown(name).c_str(), e.what());
}

void reportWriteFailure(std::FILE* err, int why) {
    std::fprintf(err, "zelmak-cli: writing standard output failed: %s\n", std::strerror(why));
}

// A file's identity, to tell whether two names, or a name and a stream, are one file.
struct FileId {
    bool known = false;
    bool regular = false;
    dev_t dev = 0;
    ino_t ino = 0;

    bool sameAs(const FileId& other) const {
        return known && other.known && dev == other.dev && ino == other.ino;
    }
};

FileId idOf(const struct stat& st) {
    return {true, S_ISREG(st.st_mode), st.st_dev, st.st_ino};
}

FileId idOfName(const std::string& name) {
    struct stat st {};
    return ::stat(name.c_str(), &st) == 0 ? idOf(st) : FileId{};
}

FileId idOfStream(std::FILE* stream) {
    struct stat st {};
    const int fd = ::fileno(stream);
    return fd >= 0 && ::fstat(fd, &st) == 0 ? idOf(st) : FileId{};
}

// An output into an input would destroy the input while it is read, or grow it as long as the
// disk has room (as cat, the program refuses): such a command line is refused before anything is
// written. `source` is the input of a text run, or nothing. Returns the exit status.
int refuseOutputIntoInput(const Options& o, std::FILE* source, std::FILE* out, std::FILE* err) {
    const FileId standardOut = idOfStream(out);
    const FileId input = source ? idOfStream(source) : FileId{};
    const FileId key = o.keyFile ? idOfName(*o.keyFile) : FileId{};
    const std::string inputName = o.input ? "the input file " + shown(*o.input)
                                          : std::string("the file standard input comes from");
    const std::string keyName = o.keyFile ? "the key file " + shown(*o.keyFile) : std::string();
    std::string refusal;
    // A device (/dev/null on both ends) can take what it gives.
    if (standardOut.regular && standardOut.sameAs(input))
        refusal = "standard output goes to " + inputName;
    else if (standardOut.regular && standardOut.sameAs(key))
        refusal = "standard output goes to " + keyName;
    if (refusal.empty() && o.trace && *o.trace != "-") {
        const FileId trace = idOfName(*o.trace);
        const std::string named = "--trace " + shown(*o.trace) + " names ";
        if (trace.sameAs(standardOut))
            refusal = named + "the file standard output goes to";
        else if (trace.regular && trace.sameAs(input))
            refusal = named + inputName;
        else if (trace.regular && trace.sameAs(key))
            refusal = named + keyName;
    }
    if (refusal.empty())
        return kOk;
    std::fprintf(err, "zelmak-cli: %s; see zelmak-cli --help\n", refusal.c_str());
    return kUsageFailure;
}

// The setting of --key FILE, or the service setting without it. A file that cannot be read is a
// file failure; a setting that the setting check would reject is refused with its verdict.
std::optional<KeyRecordBytes> loadRecord(const Options& o, std::FILE* err, int& status) {
    if (!o.keyFile)
        return serviceRecord();
    const std::string name = shown(*o.keyFile);
    KeyRecordBytes record{};
    try {
        record = readKeyRecord(*o.keyFile);
    } catch (const FileError& e) {
        reportFileError(err, *o.keyFile, e);
        status = kFileFailure;
        return std::nullopt;
    }
    const char* verdict = recordVerdict(record);
    if (verdict) {
        std::fprintf(err, "zelmak-cli: %s: %s\n", name.c_str(), verdict);
        status = kUsageFailure;
        return std::nullopt;
    }
    return record;
}

// Draws a setting as "Random Cipher" does and stores it in a file that did not exist before.
int newKey(const std::string& path, std::FILE* err) {
    SystemRandomSource source;
    try {
        if (!createKeyFile(path, drawRecord(source))) {
            std::fprintf(err, "zelmak-cli: %s exists already; --new-key never replaces a file\n",
                         shown(path).c_str());
            return kFileFailure;
        }
    } catch (const FileError& e) {
        reportFileError(err, path, e);
        return kFileFailure;
    } catch (const Error& e) {
        std::fprintf(err, "zelmak-cli: %s: %s.\n", shown(path).c_str(), e.what());
        return kFileFailure;
    }
    return kOk;
}

// Writes a whole text to standard output; a failure is reported on `err`.
bool writeOut(std::FILE* out, std::string_view text, std::FILE* err) {
    if (writeAll(out, text) && std::fflush(out) == 0)
        return true;
    reportWriteFailure(err, errno);
    return false;
}

int writeCheckValue(const Options& o, std::FILE* out, std::FILE* err) {
    if (const int refused = refuseOutputIntoInput(o, nullptr, out, err))
        return refused;
    int status = kOk;
    const auto record = loadRecord(o, err, status);
    if (!record)
        return status;
    return writeOut(out, checkValue(machineFor(*record)) + "\n", err) ? kOk : kFileFailure;
}

int runSelfTest(std::FILE* out, std::FILE* err) {
    std::string report;
    const bool passed = selfTest(knownAnswers(), report);
    if (!writeOut(out, report, err))
        return kFileFailure;
    return passed ? kOk : kSelfTestFailed;
}

int keySheet(const Options& o, std::FILE* err) {
    SystemRandomSource source;
    return writeKeySheet(drawKeySheet(o.sheetYear, o.sheetMonth, source), o.outDir, err);
}

// The --json object, byte for byte as nlohmann::ordered_json dumps it. The small values still go
// through it; the two texts, many mebibytes long, were escaped as they came and go out whole.
bool writeJson(std::FILE* out, const MachineState& m, const std::string& start,
               const PiecedText& input, const PiecedText& output, std::size_t skipped) {
    nlohmann::ordered_json head;
    head["mode"] = m.cipher() ? "cipher" : "decipher";
    head["start"] = start;
    head["end"] = positionsOf(m);
    nlohmann::ordered_json tail;
    tail["skipped"] = skipped;
    tail["check_value"] = checkValue(m);
    std::string opening = head.dump();
    opening.back() = ','; // the object goes on
    std::string closing = tail.dump();
    closing.front() = ',';
    closing += '\n';

    bool ok = true;
    auto write = [&](std::string_view bytes) { ok = ok && writeAll(out, bytes); };
    write(opening);
    write("\"input\":");
    input.writeJson(write);
    write(",\"output\":");
    output.writeJson(write);
    write(closing);
    return ok;
}

// Keys every character of a piece of text that the feed keys, recording each key's trace.
std::size_t feedTraced(MachineState& m, std::string_view text, Blanks blanks, std::uint64_t& keys,
                       std::string& csv) {
    std::size_t skipped = 0;
    for (const char c : text) {
        const auto key = feedKey(c, blanks);
        if (!key) {
            ++skipped;
            continue;
        }
        enterKey(m, key->index, key->letter);
        const KeyTrace t = traceRotation(m);
        m.outputText.push_back(t.symbol);
        appendTraceCsv(csv, ++keys, key->letter, t);
    }
    return skipped;
}

// The text run: INPUT through the machine, the output as text, groups or JSON, the trace beside.
int runText(const Options& o, std::FILE* in, std::FILE* out, std::FILE* err) {
    int status = kOk;
    const auto record = loadRecord(o, err, status);
    if (!record)
        return status;
    MachineState m = machineFor(*record);
    m.mode = o.decipher ? Mode::Decipher : Mode::Cipher;
    for (int s = 1; s <= 5; ++s)
        m.positions[s] = o.start[static_cast<std::size_t>(s - 1)];
    const std::string start = positionsOf(m);

    std::FILE* source = in;
    std::FILE* opened = nullptr;
    if (o.input) {
        opened = std::fopen(o.input->c_str(), "rb");
        if (!opened) {
            std::fprintf(err, "zelmak-cli: Kann Datei %s nicht öffnen. (%s)\n",
                         shown(*o.input).c_str(), std::strerror(errno));
            return kFileFailure;
        }
        source = opened;
    }
    TraceSink trace;
    status = refuseOutputIntoInput(o, source, out, err);
    if (status == kOk && o.trace)
        status = trace.open(*o.trace, out, err);
    if (status != kOk) {
        if (opened)
            std::fclose(opened);
        return status;
    }

    const Blanks blanks = o.ignoreBlanks ? Blanks::Layout : Blanks::WordSpace;
    std::optional<SymbolGroups> groups;
    if (o.group > 0)
        groups.emplace(static_cast<std::size_t>(o.group),
                       static_cast<std::size_t>(o.groupsPerLine));
    const bool textOut = !o.json && !(o.trace && *o.trace == "-");
    // --json: the keyed text and the output, whole. They grow as the text comes: the size a file
    // claims may be a sparse file's, far more than the memory holds.
    PiecedText input;
    PiecedText output;
    std::string laid;
    std::string csv;
    std::size_t skipped = 0;
    std::uint64_t keys = 0;
    int outError = 0; // the errno of a failed write to standard output

    // The text goes through in chunks, so a long text needs no more memory than a short one
    // (except for --json, which writes the whole texts at the end).
    std::string chunk(1 << 20, '\0');
    for (;;) {
        const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), source);
        const std::string_view piece(chunk.data(), n);
        if (o.trace) {
            for (std::size_t from = 0; from < n; from += 1 << 14) {
                skipped += feedTraced(m, piece.substr(from, 1 << 14), blanks, keys, csv);
                if (!trace.write(csv, err)) {
                    status = kFileFailure;
                    break;
                }
            }
            if (status != kOk)
                break;
        } else {
            skipped += feedText(m, piece, blanks);
        }
        std::string_view produced = m.outputText;
        if (groups) {
            laid.clear();
            groups->append(m.outputText, laid);
            produced = laid;
        }
        if (o.json) {
            input.append(m.inputText);
            output.append(produced);
        } else if (textOut && !writeAll(out, produced)) {
            outError = errno;
            break;
        }
        m.inputText.clear();
        m.outputText.clear();
        if (n < chunk.size()) {
            if (std::ferror(source)) {
                std::fprintf(err, "zelmak-cli: reading %s failed: %s\n",
                             o.input ? shown(*o.input).c_str() : "standard input",
                             std::strerror(errno));
                status = kFileFailure;
            }
            break;
        }
    }
    if (opened)
        std::fclose(opened);

    if (status == kOk && outError == 0 && o.json &&
        !writeJson(out, m, start, input, output, skipped))
        outError = errno;
    if (status == kOk && outError == 0 && std::fflush(out) != 0)
        outError = errno;
    if (outError != 0) {
        reportWriteFailure(err, outError);
        status = kFileFailure;
    }
    if (o.trace)
        status = trace.finish(status == kOk, err) ? status : kFileFailure;
    // The end positions are the report's whole point: a report that cannot be written is a
    // failed run.
    if (o.report &&
        (std::fprintf(err, "positions: %s\n", positionsOf(m).c_str()) < 0 || std::fflush(err) != 0))
        status = kFileFailure;
    return status;
}

} // namespace

int run(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err) {
    Options o;
    try {
        o = parseOptions(args);
    } catch (const UsageError& e) {
        std::fprintf(err, "zelmak-cli: %s; see zelmak-cli --help\n", e.message.c_str());
        return kUsageFailure;
    }
    try {
        switch (o.task) {
        case Task::Help:
            return writeOut(out, kUsage, err) ? kOk : kFileFailure;
        case Task::NewKey:
            return newKey(o.newKeyFile, err);
        case Task::CheckValue:
            return writeCheckValue(o, out, err);
        case Task::SelfTest:
            return runSelfTest(out, err);
        case Task::KeySheet:
            return keySheet(o, err);
        case Task::Run:
            return runText(o, in, out, err);
        }
    } catch (const Error& e) {
        // No error of the machine can arise from an accepted setting; should one, it is named.
        std::fprintf(err, "zelmak-cli: %s.\n", e.what());
    } catch (const std::bad_alloc&) {
        std::fprintf(err, "zelmak-cli: not enough memory%s\n",
                     o.json ? " to hold the whole text for --json" : "");
    }
    return kFileFailure;
}

} // namespace zelmak::cli
