#include "break.h"

#include "command_line.h"
#include "options.h" // zelmak-cli's shown()
#include "progress_line.h"
#include "report.h"

#include "analysis/completion.h"
#include "analysis/crib_search.h"
#include "analysis/language_model.h"
#include "analysis/start_search.h"
#include "files/file_error.h"
#include "files/file_rules.h"
#include "files/file_writing.h"
#include "files/key_file.h"
#include "files/text_files.h"
#include "settings/settings.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <new>
#include <optional>
#include <stop_token>
#include <sys/stat.h>
#include <unistd.h>

namespace zelmak::brk {

using namespace analysis;
using cli::shown;

namespace {

// The one thing a signal handler may touch.
volatile std::sig_atomic_t interrupted = 0;

// Ctrl+C, while a command runs, asks its search to stop; a second one ends the program at once.
// A program started with Ctrl+C ignored (in the background of a script) keeps ignoring it.
class Interruption {
public:
    Interruption() {
        interrupted = 0;
        struct sigaction a {};
        a.sa_handler = [](int) { interrupted = 1; };
        sigemptyset(&a.sa_mask);
        a.sa_flags = SA_RESETHAND;
        ::sigaction(SIGINT, &a, &old_);
        if (old_.sa_handler == SIG_IGN)
            ::sigaction(SIGINT, &old_, nullptr);
    }
    ~Interruption() { ::sigaction(SIGINT, &old_, nullptr); }
    Interruption(const Interruption&) = delete;
    Interruption& operator=(const Interruption&) = delete;
    bool happened() const { return interrupted != 0; }

private:
    struct sigaction old_ {};
};

struct Io {
    std::FILE* in;
    std::FILE* out;
    std::FILE* err;
    bool writes; // rank 0: the one that speaks

    void say(const std::string& line) const {
        if (writes)
            std::fprintf(err, "zelmak-break: %s\n", line.c_str());
    }
};

// A file error as the window's message, then the system's reason.
std::string fileProblem(const std::string& name, const std::string& message, int systemError) {
    return shown(name) + ": " + message + "." +
           (systemError != 0 ? " (" + std::string(std::strerror(systemError)) + ")" : "");
}

constexpr std::size_t kTextLimit = kLoadedTextCapacity;

// The whole INPUT (or --language sample) by the file rules; standard input without a name.
std::optional<std::string> readText(const std::optional<std::string>& name, std::FILE* in,
                                    std::string& problem) {
    const std::string tooLarge =
        std::string(TextFileError(TextFileError::Kind::Capacity, "").what()) + ". (more than " +
        std::to_string(kTextLimit / kMiB) + " MiB)";
    if (name) {
        FileRead file = readRegularFile(*name, kTextLimit);
        switch (file.outcome) {
        case FileRead::Outcome::Read:
            return std::move(file.bytes);
        case FileRead::Outcome::TooLarge:
            problem = shown(*name) + ": " + tooLarge;
            return std::nullopt;
        case FileRead::Outcome::NotRegular:
        case FileRead::Outcome::Failed:
            break;
        }
        problem =
            std::string(TextFileError(TextFileError::Kind::Open, shown(*name)).what()) + ". (" +
            (file.systemError != 0 ? std::strerror(file.systemError) : "no regular file") + ")";
        return std::nullopt;
    }
    std::string bytes;
    std::string chunk(1 << 16, '\0');
    for (;;) {
        const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), in);
        if (bytes.size() + n > kTextLimit) {
            problem = "standard input: " + tooLarge;
            return std::nullopt;
        }
        bytes.append(chunk, 0, n);
        if (n < chunk.size())
            break;
    }
    if (std::ferror(in)) {
        problem = std::string("reading standard input failed: ") + std::strerror(errno);
        return std::nullopt;
    }
    return bytes;
}

// The key file's 36 bytes; a special file and a setting the check rejects are refused.
int readKey(const std::string& name, std::string& bytes, std::string& problem) {
    struct stat st {};
    if (::stat(name.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        problem = fileProblem(name, FileError(io::kAccessDenied).what(), 0) + " (no regular file)";
        return kFileFailure;
    }
    KeyRecordBytes record{};
    try {
        record = readKeyRecord(name);
    } catch (const FileError& e) {
        problem = fileProblem(name, e.what(), e.systemError());
        return kFileFailure;
    }
    if (const char* verdict = recordVerdict(record)) {
        problem = shown(name) + ": " + verdict;
        return kUsageFailure;
    }
    bytes.assign(reinterpret_cast<const char*>(record.data()), record.size());
    return kOk;
}

std::string exists(const std::string& name) {
    return shown(name) + " exists already; --out-key never replaces a file";
}

// What a search works on, the same on every rank.
struct Job {
    std::vector<Symbol> message;
    std::optional<KeySetting> key;
    std::optional<LanguageModel> model;
};

// Rank 0 reads the files (only it may have standard input, and only its host the files) and
// gives their bytes to the other ranks, which then refuse what it refuses without a word.
int prepare(const Options& o, const Io& io, Cluster& cluster, Job& job) {
    std::string text, key, sample, problem;
    int status = kOk;
    if (cluster.rank() == 0) {
        writing::Target target;
        if (o.keyFile)
            status = readKey(*o.keyFile, key, problem);
        if (status == kOk && o.outKey && writing::resolveTarget(*o.outKey, target) == 0 &&
            target.exists) {
            problem = exists(*o.outKey);
            status = kFileFailure;
        }
        std::optional<std::string> read;
        if (status == kOk && !(read = readText(o.input, io.in, problem)))
            status = kFileFailure;
        text = read.value_or("");
        if (status == kOk && o.language) {
            read = readText(o.language, nullptr, problem);
            status = read ? kOk : kFileFailure;
            sample = read.value_or("");
        }
        if (status != kOk)
            io.say(problem);
    }
    std::string shared = std::to_string(status);
    cluster.share(shared);
    if ((status = std::stoi(shared)) != kOk)
        return status;
    cluster.share(text);
    cluster.share(key);
    cluster.share(sample);

    const std::string inputName = o.input ? shown(*o.input) : std::string("standard input");
    try {
        job.message = readMessage(text);
    } catch (const InputError& e) {
        io.say(inputName + ": " + e.what());
        return kFileFailure;
    }
    if (job.message.empty()) {
        io.say(inputName + ": the message holds no key symbols");
        return kFileFailure;
    }
    if (!key.empty()) {
        KeyRecordBytes record{};
        std::memcpy(record.data(), key.data(), record.size());
        job.key = keySettingOf(record);
    }
    try {
        job.model = o.language ? LanguageModel::fromSample(sample) : LanguageModel::german();
    } catch (const InputError& e) {
        io.say(shown(*o.language) + ": " + e.what());
        return kFileFailure;
    }
    return kOk;
}

// The run of one search: Ctrl+C, the progress line and the stop request they share.
class Searching {
public:
    Searching(const Options& o, const Io& io, const Cluster& cluster,
              const Interruption& interruption)
        : interruption_(interruption),
          line_(io.err, io.writes && !o.quiet && ::isatty(::fileno(io.err)) == 1) {
        options_.threads = o.threads;
        options_.rank = cluster.rank();
        options_.ranks = cluster.ranks();
        options_.stop = stop_.get_token();
        if (interruption_.happened())
            stop_.request_stop();
        options_.progress = [this](const Progress& p) {
            if (interruption_.happened())
                stop_.request_stop();
            line_.show(p);
        };
    }
    Searching(const Searching&) = delete;
    Searching& operator=(const Searching&) = delete;

    const RunOptions& options() const { return options_; }
    // The same on this process alone (rank 0's own work after the gathering).
    RunOptions alone() const {
        RunOptions o = options_;
        o.rank = 0;
        o.ranks = 1;
        return o;
    }
    bool interrupted() const { return interruption_.happened(); }
    void finish() { line_.clear(); }

private:
    const Interruption& interruption_;
    std::stop_source stop_;
    ProgressLine line_;
    RunOptions options_;
};

// Every rank's result, merged on rank 0 (the order of the candidates does not depend on the
// split); nothing on the others.
SearchResult gathered(const SearchResult& mine, Cluster& cluster, std::size_t top) {
    const std::vector<std::string> all = cluster.gather(packed(mine));
    SearchResult result;
    BestList best(top);
    for (const std::string& bytes : all) {
        const SearchResult one = unpacked(bytes);
        for (const Candidate& c : one.candidates)
            best.add(c);
        result.hypotheses += one.hypotheses;
        result.stopped = result.stopped || one.stopped;
    }
    result.candidates = best.sorted();
    return result;
}

std::string estimate(const CribFacts& f) {
    char survivors[48];
    const double n = f.falseSurvivors;
    if (n < 0.001)
        std::snprintf(survivors, sizeof survivors, "fewer than 0.001");
    else
        std::snprintf(survivors, sizeof survivors, n >= 100 ? "about %.0f" : "about %.2g", n);
    return "The crib joins " + std::to_string(f.symbols) + " symbols with " +
           std::to_string(f.loops) + (f.loops == 1 ? " loop" : " loops") + ": " +
           std::to_string(f.hypotheses) + " settings to try, " + survivors +
           " wrong ones expected to survive.";
}

int writeOut(const Io& io, const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), io.out) == text.size() && std::fflush(io.out) == 0)
        return kOk;
    io.say(std::string("writing standard output failed: ") + std::strerror(errno));
    return kFileFailure;
}

int writeKey(const std::string& name, const Io& io, const Candidate& best) {
    if (best.fixed() < kSymbolCount) {
        io.say("no key file written: the best setting's card has only " +
               std::to_string(best.fixed()) + " of 31 entries (--complete fills in the others)");
        return kFileFailure;
    }
    try {
        if (createKeyFile(name, keyRecordOf(best.card, best.order)))
            return kOk;
        io.say(exists(name));
    } catch (const FileError& e) {
        io.say(fileProblem(name, e.what(), e.systemError()));
    }
    return kFileFailure;
}

// Rank 0 writes what the ranks found; the status of the whole run.
int conclude(const Options& o, const Io& io, const Job& job, SearchResult& result,
             Searching& searching, double seconds) {
    if (o.complete && !result.candidates.empty()) {
        for (Candidate& c : result.candidates)
            c = completeCard(job.message, c, *job.model, searching.alone());
        std::sort(result.candidates.begin(), result.candidates.end(), better);
    }
    searching.finish();
    result.seconds = seconds;
    const bool stopped = searching.interrupted();
    if (stopped)
        io.say("stopped after " + std::to_string(result.hypotheses) +
               " hypotheses; the settings found so far follow");
    int status = writeOut(io, o.json ? candidatesJson(job.message, result)
                                     : candidateLines(job.message, result.candidates));
    if (result.candidates.empty()) {
        if (!stopped)
            io.say("no setting fits");
        return stopped ? kInterrupted : std::max(status, kNothingFound);
    }
    if (status == kOk && o.outKey && stopped)
        io.say("no key file written: the search did not end");
    else if (status == kOk && o.outKey)
        status = writeKey(*o.outKey, io, result.candidates.front());
    return stopped && status == kOk ? kInterrupted : status;
}

double since(std::chrono::steady_clock::time_point began) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
}

int cribCommand(const Options& o, const Io& io, Cluster& cluster) {
    const Interruption interruption;
    Job job;
    if (const int status = prepare(o, io, cluster, job))
        return interruption.happened() ? kInterrupted : status;
    CribQuery query;
    query.message = job.message;
    query.crib = o.crib;
    query.firstOffset = o.firstOffset;
    query.lastOffset = o.lastOffset;
    if (o.order)
        query.orders = {*o.order};
    if (job.key) {
        query.card = job.key->card;
        query.orders = {job.key->order};
    }
    query.top = o.top;
    try {
        checkQuery(query);
    } catch (const InputError& e) {
        io.say(e.what());
        return kUsageFailure;
    }
    if (!o.quiet && io.writes)
        std::fprintf(io.err, "%s\n", estimate(cribFacts(query)).c_str());

    const auto began = std::chrono::steady_clock::now();
    Searching searching(o, io, cluster, interruption);
    SearchResult result =
        gathered(cribSearch(query, *job.model, searching.options()), cluster, o.top);
    if (cluster.rank() != 0)
        return kOk;
    return conclude(o, io, job, result, searching, since(began));
}

int startCommand(const Options& o, const Io& io, Cluster& cluster) {
    const Interruption interruption;
    Job job;
    if (const int status = prepare(o, io, cluster, job))
        return interruption.happened() ? kInterrupted : status;
    StartQuery query;
    query.message = job.message;
    query.card = job.key->card;
    if (!o.allOrders)
        query.orders = {job.key->order};
    query.top = o.top;

    const auto began = std::chrono::steady_clock::now();
    Searching searching(o, io, cluster, interruption);
    SearchResult result;
    try {
        result = gathered(startSearch(query, *job.model, searching.options()), cluster, o.top);
    } catch (const InputError& e) {
        io.say(e.what());
        return kUsageFailure;
    }
    if (cluster.rank() != 0)
        return kOk;
    return conclude(o, io, job, result, searching, since(began));
}

int statsCommand(const Options& o, const Io& io, Cluster& cluster) {
    if (cluster.rank() != 0)
        return kOk;
    Alone alone;
    Job job;
    if (const int status = prepare(o, io, alone, job))
        return status;
    const TextStatistics s = statisticsOf(job.message, *job.model);
    return writeOut(io, o.json ? statisticsJson(s) : statisticsText(s, *job.model));
}

} // namespace

int run(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err,
        Cluster& cluster) {
    const Io io{in, out, err, cluster.rank() == 0};
    Options o;
    try {
        o = parseOptions(args);
    } catch (const UsageError& e) {
        io.say(e.message + "; see zelmak-break --help");
        return kUsageFailure;
    }
    try {
        switch (o.command) {
        case Command::Help:
            return io.writes ? writeOut(io, kUsage) : kOk;
        case Command::Crib:
            return cribCommand(o, io, cluster);
        case Command::Start:
            return startCommand(o, io, cluster);
        case Command::Stats:
            return statsCommand(o, io, cluster);
        }
    } catch (const std::bad_alloc&) {
        std::fprintf(err, "zelmak-break: not enough memory\n");
    } catch (const std::exception& e) {
        std::fprintf(err, "zelmak-break: %s\n", e.what());
    }
    // The other ranks may wait for this one: the whole run ends.
    cluster.abort(kFileFailure);
    return kFileFailure;
}

} // namespace zelmak::brk
