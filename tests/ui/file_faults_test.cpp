// The four file buttons against a file system that says no: through the real window and its
// handlers, with dialogs that answer paths. Each fault must reach the error box with the system's
// message (and its final "."), leave the window as it was, and damage or lose no earlier file:
// every folder involved is compared name by name and byte by byte, so a temporary file left
// behind counts as damage too.
//
// The tests run as root in CI, and root may read and write anything; the permission faults are
// therefore pressed in a child process that has dropped to uid and gid 65534 for good.

#include "form_fixture.h"

#include "files/text_files.h"
#include "temp_dir.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zelmak::test {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

enum class FileButton {
    SaveCipher = 37,
    LoadCipher = 39,
    SaveCipherCode = 35,
    LoadCipherCode = 40
};

std::string keyRecordReversed() {
    std::string bytes;
    for (int k = 31; k >= 1; --k)
        bytes.push_back(static_cast<char>(k));
    for (int s = 4; s >= 0; --s)
        bytes.push_back(static_cast<char>(s));
    return bytes;
}

const std::string kEarlierKey = keyRecordReversed() + "and a tail that stays";
const std::string kEarlierCipher = "K5Y8SPA\r\nQ2\r\n";

void setMode(const std::string& path, mode_t mode) {
    if (::chmod(path.c_str(), mode) != 0)
        throw std::runtime_error("chmod " + path + ": " + std::strerror(errno));
}

// Every entry under a folder with its kind, permission bits and content, one line each: equal
// listings mean nothing was added, removed, renamed or changed.
std::string listing(const fs::path& folder) {
    std::vector<std::string> lines;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path& p = it->path();
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0)
            continue;
        std::ostringstream line;
        line << fs::relative(p, folder).string() << " mode " << std::oct << (st.st_mode & 0170777)
             << std::dec;
        if (S_ISREG(st.st_mode))
            line << " bytes \"" << readFile(p.string()) << '"';
        else if (S_ISLNK(st.st_mode))
            line << " -> " << fs::read_symlink(p, ec).string();
        lines.push_back(line.str());
    }
    std::sort(lines.begin(), lines.end());
    std::string all;
    for (const auto& l : lines)
        all += l + "\n";
    return all;
}

// Several byte strings as one, for the way back from a child process: each is preceded by its
// length, so that any byte may stand in them.
std::string pack(const std::vector<std::string>& parts) {
    std::string packed;
    for (const auto& part : parts)
        packed += std::to_string(part.size()) + ':' + part;
    return packed;
}

std::vector<std::string> unpack(const std::string& packed) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (at < packed.size()) {
        const std::size_t colon = packed.find(':', at);
        if (colon == std::string::npos)
            break;
        const std::size_t size = std::stoul(packed.substr(at, colon - at));
        parts.push_back(packed.substr(colon + 1, size));
        at = colon + 1 + size;
    }
    return parts;
}

// What pressing a button led to: the error boxes shown, and the window afterwards.
struct Outcome {
    QStringList errors;
    std::string window;

    std::string serialize() const {
        std::vector<std::string> parts{window};
        for (const QString& e : errors)
            parts.push_back(e.toStdString());
        return pack(parts);
    }
    static Outcome parse(const std::string& bytes) {
        const auto parts = unpack(bytes);
        Outcome o;
        if (parts.empty())
            return o;
        o.window = parts[0];
        for (std::size_t i = 1; i < parts.size(); ++i)
            o.errors << QString::fromStdString(parts[i]);
        return o;
    }
};

// A child that has not answered by then hangs; far longer than any file operation takes.
constexpr int kChildLimitMs = 60'000;

// Runs `body` in a forked child and returns what it returned. The child shares the parent's
// window and files as they were at the fork, changes neither for the parent, and never returns
// into the test: it ends with _exit. A child that cannot run `body`, or hangs, gives "!" and why.
std::string inChild(const std::function<std::string()>& body) {
    int fds[2];
    if (::pipe(fds) != 0)
        return "!pipe failed";
    const pid_t pid = ::fork();
    if (pid < 0)
        return "!fork failed";
    if (pid == 0) {
        ::close(fds[0]);
        std::string result;
        try {
            result = body();
        } catch (const std::exception& e) {
            result = std::string("!child failed: ") + e.what();
        }
        std::size_t done = 0;
        while (done < result.size()) {
            const ssize_t n = ::write(fds[1], result.data() + done, result.size() - done);
            if (n <= 0)
                ::_exit(3);
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string result;
    bool hung = false;
    for (;;) {
        pollfd ready{fds[0], POLLIN, 0};
        const int polled = ::poll(&ready, 1, kChildLimitMs);
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled == 0) {
            hung = true;
            ::kill(pid, SIGKILL);
            break;
        }
        char buffer[4096];
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        result.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (hung)
        return "!the child hung: no answer within " + std::to_string(kChildLimitMs / 1000) + " s";
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "!the child ended with status " + std::to_string(status);
    return result;
}

// In a child: gives up root for good, as uid and gid 65534 with no other groups.
std::string dropToNobody() {
    if (::geteuid() != 0)
        return {}; // already an ordinary user
    if (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
        ::setresuid(kNobody, kNobody, kNobody) != 0)
        return std::string("!cannot switch to uid 65534: ") + std::strerror(errno);
    return {};
}

class FileFaults : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        setMode(dir.path().string(), 0755);
        writeFile(dir.file("earlier.key"), kEarlierKey);
        writeFile(dir.file("earlier.cif"), kEarlierCipher);
        type("HALLO");
        operatorWrites(Pane::Loaded, "the loaded text\r\nstays");
    }

    // The window as the operator sees it, and the two acceptance flags.
    std::string windowState() const {
        std::ostringstream s;
        s << "card";
        for (int k = 1; k <= 31; ++k)
            s << ' ' << card(k)->currentIndex();
        s << "\ndiscs";
        for (int d = 1; d <= 5; ++d)
            s << ' ' << disc(d)->currentIndex();
        s << "\npositions " << positions() << "\ncipher " << radio(2)->isChecked() << "\nenabled";
        for (int b : {32, 34, 35, 37, 38, 40, 41})
            s << " Button" << b << '=' << button(b)->isEnabled();
        s << " Eingabe=" << named<QWidget>("Eingabe")->isEnabled()
          << " Ausgabe=" << named<QWidget>("Ausgabe")->isEnabled();
        const MachineState& m = form->session().machine();
        s << "\nflags " << int(m.cardReady) << int(m.discReady) << "\ninput \"" << m.inputText
          << "\"\noutput \"" << m.outputText << "\"\nEingabe \"" << pane(Pane::Input)
          << "\"\nAusgabe \"" << pane(Pane::Output) << "\"\nlade \"" << pane(Pane::Loaded)
          << "\"\n";
        return s.str();
    }

    // Answers the button's dialog with `path` and presses the button.
    Outcome press(FileButton which, const std::string& path) {
        const QString answer = QString::fromStdString(path);
        if (which == FileButton::SaveCipher || which == FileButton::SaveCipherCode)
            dialogs.saveAnswers << answer;
        else
            dialogs.openAnswers << answer;
        dialogs.errors.clear();
        button(static_cast<int>(which))->click();
        return {dialogs.errors, windowState()};
    }

    // The same, pressed by uid 65534 in a child process.
    Outcome pressAsNobody(FileButton which, const std::string& path) {
        const std::string result = inChild([&] {
            const std::string refused = dropToNobody();
            return refused.empty() ? press(which, path).serialize() : refused;
        });
        if (!result.empty() && result[0] == '!')
            ADD_FAILURE() << result.substr(1);
        return Outcome::parse(result);
    }

    TempDir dir;
};

std::string dotted(const std::string& message) {
    return message + ".";
}
std::string cannotCreate(const std::string& chosen) {
    return "Kann Datei " + cipherFileName(chosen) + " nicht erstellen.";
}
std::string cannotOpen(const std::string& chosen) {
    return "Kann Datei " + chosen + " nicht öffnen.";
}
const std::string kBadName = dotted("Ungültiger Dateiname");
const std::string kDenied = dotted("Dateizugriff verweigert");
const std::string kDiskFull = dotted("Kapazität der Diskette/Festplatte erschöpft");
const std::string kWriteFailed = dotted("Stream-Write-Fehler ");

// ---- The faults of each button ----------------------------------------------------------------

struct Fault {
    const char* name;
    FileButton button;
    // Prepares the folder and returns the path the dialog answers.
    std::function<std::string(const TempDir&)> target;
    // The error box's text for that path.
    std::function<std::string(const std::string&)> message;
    bool asNobody = false;
};

void PrintTo(const Fault& row, std::ostream* os) {
    *os << row.name;
}

auto always(std::string message) {
    return [message](const std::string&) { return message; };
}

std::string missingFolder(const TempDir& d) {
    return d.file("nowhere/name");
}
std::string tooLong(const TempDir& d) {
    return d.file(std::string(300, 'n'));
}
std::string folderNamed(const TempDir& d, const std::string& name) {
    fs::create_directory(d.file(name));
    return d.file(name);
}
// An earlier file that the operator may not write, in a folder that the operator may.
std::string readOnlyFile(const TempDir& d, const std::string& name) {
    setMode(d.file(name), 0444);
    setMode(d.path().string(), 0777);
    return d.file(name);
}
// A folder that the operator may read but not write, holding a writable earlier file.
std::string readOnlyFolder(const TempDir& d, const std::string& name) {
    setMode(d.file("earlier.key"), 0666);
    setMode(d.file("earlier.cif"), 0666);
    setMode(d.path().string(), 0555);
    return d.file(name);
}
std::string unreadable(const TempDir& d, const std::string& name) {
    setMode(d.file(name), 0);
    return d.file(name);
}

class ButtonFault : public FileFaults, public ::testing::WithParamInterface<Fault> {};

TEST_P(ButtonFault, shows_the_message_and_leaves_the_window_and_every_file_as_they_were) {
    const Fault& row = GetParam();
    const std::string path = row.target(dir);
    const std::string filesBefore = listing(dir.path());
    const std::string windowBefore = windowState();

    const Outcome after = row.asNobody ? pressAsNobody(row.button, path) : press(row.button, path);

    EXPECT_EQ(after.errors, QStringList{QString::fromStdString(row.message(path))});
    EXPECT_EQ(after.window, windowBefore);
    EXPECT_EQ(listing(dir.path()), filesBefore);
    EXPECT_EQ(readFile(dir.file("earlier.key")), kEarlierKey);
    EXPECT_EQ(readFile(dir.file("earlier.cif")), kEarlierCipher);
}

INSTANTIATE_TEST_SUITE_P(
    Window, ButtonFault,
    ::testing::Values(
        Fault{"SaveCipherMissingFolder", FileButton::SaveCipher, missingFolder, always(kBadName)},
        Fault{"SaveCipherTooLongName", FileButton::SaveCipher, tooLong, always(kBadName)},
        Fault{"SaveCipherFolderInPlaceOfFile", FileButton::SaveCipher,
              [](const TempDir& d) { return folderNamed(d, "k.key"); }, always(kDenied)},
        Fault{"SaveCipherReadOnlyFileAsRoot", FileButton::SaveCipher,
              [](const TempDir& d) { return readOnlyFile(d, "earlier.key"); }, always(kDenied)},
        Fault{"SaveCipherReadOnlyFile", FileButton::SaveCipher,
              [](const TempDir& d) { return readOnlyFile(d, "earlier.key"); }, always(kDenied),
              true},
        Fault{"SaveCipherReadOnlyFolder", FileButton::SaveCipher,
              [](const TempDir& d) { return readOnlyFolder(d, "new.key"); }, always(kDenied), true},
        // A key goes only into a regular file: a device is refused before anything is written.
        Fault{"SaveCipherOntoADevice", FileButton::SaveCipher,
              [](const TempDir&) { return std::string("/dev/full"); }, always(kDenied)},

        Fault{"LoadCipherMissingFolder", FileButton::LoadCipher, missingFolder, always(kBadName)},
        Fault{"LoadCipherTooLongName", FileButton::LoadCipher, tooLong, always(kBadName)},
        Fault{"LoadCipherFolderInPlaceOfFile", FileButton::LoadCipher,
              [](const TempDir& d) { return folderNamed(d, "k.key"); }, always(kDenied)},
        Fault{"LoadCipherUnreadableFile", FileButton::LoadCipher,
              [](const TempDir& d) { return unreadable(d, "earlier.key"); }, always(kDenied), true},
        Fault{"LoadCipherShortFile", FileButton::LoadCipher,
              [](const TempDir& d) {
                  writeFile(d.file("short.key"), keyRecordReversed().substr(0, 20));
                  return d.file("short.key");
              },
              always(dotted("Lesen nach Dateiende (EOF)"))},

        Fault{"SaveCipherCodeMissingFolder", FileButton::SaveCipherCode, missingFolder,
              cannotCreate},
        Fault{"SaveCipherCodeMissingFolderWithUmlaut", FileButton::SaveCipherCode,
              [](const TempDir& d) { return d.file("Übungen/Brief"); }, cannotCreate},
        // The name fits, but not once ".cif" is added.
        Fault{"SaveCipherCodeTooLongName", FileButton::SaveCipherCode,
              [](const TempDir& d) { return d.file(std::string(253, 'n')); }, cannotCreate},
        Fault{"SaveCipherCodeFolderInPlaceOfFile", FileButton::SaveCipherCode,
              [](const TempDir& d) { return folderNamed(d, "x.cif"); }, cannotCreate},
        Fault{"SaveCipherCodeReadOnlyFileAsRoot", FileButton::SaveCipherCode,
              [](const TempDir& d) { return readOnlyFile(d, "earlier.cif"); }, cannotCreate},
        Fault{"SaveCipherCodeReadOnlyFile", FileButton::SaveCipherCode,
              [](const TempDir& d) { return readOnlyFile(d, "earlier.cif"); }, cannotCreate, true},
        Fault{"SaveCipherCodeReadOnlyFolder", FileButton::SaveCipherCode,
              [](const TempDir& d) { return readOnlyFolder(d, "new"); }, cannotCreate, true},
        Fault{"SaveCipherCodeFullDisk", FileButton::SaveCipherCode,
              [](const TempDir& d) {
                  fs::create_symlink("/dev/full", d.file("full.cif"));
                  return d.file("full.cif");
              },
              always(kWriteFailed)},

        Fault{"LoadCipherCodeMissingFolder", FileButton::LoadCipherCode, missingFolder, cannotOpen},
        Fault{"LoadCipherCodeTooLongName", FileButton::LoadCipherCode, tooLong, cannotOpen},
        Fault{"LoadCipherCodeFolderInPlaceOfFile", FileButton::LoadCipherCode,
              [](const TempDir& d) { return folderNamed(d, "x.cif"); }, cannotOpen},
        Fault{"LoadCipherCodeUnreadableFile", FileButton::LoadCipherCode,
              [](const TempDir& d) { return unreadable(d, "earlier.cif"); }, cannotOpen, true}),
    [](const auto& p) { return std::string(p.param.name); });

// ---- What an unprivileged operator may still do -------------------------------------------------

using AsNobody = FileFaults;

TEST_F(AsNobody, a_read_only_key_file_loads_and_waits_for_the_check) {
    const std::string path = readOnlyFile(dir, "earlier.key");
    const Outcome after = pressAsNobody(FileButton::LoadCipher, path);
    EXPECT_TRUE(after.errors.isEmpty()) << after.errors.join(" ").toStdString();
    EXPECT_NE(after.window.find("card 31 30 29"), std::string::npos) << after.window;
    EXPECT_NE(after.window.find("flags 00"), std::string::npos) << after.window;
    EXPECT_EQ(readFile(path), kEarlierKey);
}

TEST_F(AsNobody, a_read_only_text_file_loads_into_lade) {
    const std::string path = readOnlyFile(dir, "earlier.cif");
    const Outcome after = pressAsNobody(FileButton::LoadCipherCode, path);
    EXPECT_TRUE(after.errors.isEmpty()) << after.errors.join(" ").toStdString();
    EXPECT_NE(after.window.find("lade \"" + kEarlierCipher + "\""), std::string::npos)
        << after.window;
}

TEST_F(AsNobody, a_writable_key_file_in_a_read_only_folder_is_saved_in_place) {
    const std::string path = readOnlyFolder(dir, "earlier.key");
    const Outcome after = pressAsNobody(FileButton::SaveCipher, path);
    EXPECT_TRUE(after.errors.isEmpty()) << after.errors.join(" ").toStdString();
    std::string serviceRecord;
    for (int k = 1; k <= 31; ++k)
        serviceRecord.push_back(static_cast<char>(k));
    serviceRecord += std::string("\0\1\2\3\4", 5);
    EXPECT_EQ(readFile(path), serviceRecord + kEarlierKey.substr(36));
}

// No new file can be made beside the operator's own file, but the file itself may be written:
// it is written in place.
TEST_F(AsNobody, a_writable_cipher_file_in_a_read_only_folder_is_saved_in_place) {
    const std::string path = readOnlyFolder(dir, "earlier.cif");
    if (::geteuid() == 0 && ::chown(path.c_str(), kNobody, kNobody) != 0)
        FAIL() << "chown " << path << ": " << std::strerror(errno);
    const std::string filesBefore = listing(dir.path());
    const Outcome after = pressAsNobody(FileButton::SaveCipherCode, path);
    EXPECT_TRUE(after.errors.isEmpty()) << after.errors.join(" ").toStdString();
    EXPECT_EQ(readFile(path), pane(Pane::Output));
    std::string expected = filesBefore;
    const std::string earlier = "bytes \"" + kEarlierCipher + "\"";
    expected.replace(expected.find(earlier), earlier.size(),
                     "bytes \"" + pane(Pane::Output) + "\"");
    EXPECT_EQ(listing(dir.path()), expected) << "no file was added, removed or renamed";
}

// ---- A file pulled away between the dialog and the handler -------------------------------------

struct Vanishing {
    const char* name;
    FileButton button;
    std::function<std::string(const std::string& answer)> message;
    bool folderGoes; // else only the file
};

void PrintTo(const Vanishing& row, std::ostream* os) {
    *os << row.name;
}

class RemovedAfterTheDialog : public FileFaults, public ::testing::WithParamInterface<Vanishing> {};

TEST_P(RemovedAfterTheDialog, is_reported_and_changes_nothing_else) {
    const Vanishing& row = GetParam();
    TempDir elsewhere;
    const fs::path folder = elsewhere.path() / "letters";
    fs::create_directory(folder);
    const std::string path = (folder / "chosen.cif").string();
    writeFile(path, kEarlierKey);
    dialogs.onAnswer = [&](const QString& answer) {
        ASSERT_EQ(answer.toStdString(), path);
        fs::remove_all(row.folderGoes ? folder : fs::path(path));
    };
    const std::string filesBefore = listing(dir.path());
    const std::string windowBefore = windowState();

    const Outcome after = press(row.button, path);

    EXPECT_EQ(after.errors, QStringList{QString::fromStdString(row.message(path))});
    EXPECT_EQ(after.window, windowBefore);
    EXPECT_EQ(listing(dir.path()), filesBefore);
    // Nothing was made in place of what went: no file, and no folder either.
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(fs::exists(folder), !row.folderGoes);
}

INSTANTIATE_TEST_SUITE_P(
    Window, RemovedAfterTheDialog,
    ::testing::Values(Vanishing{"LoadCipher", FileButton::LoadCipher,
                                always(dotted("Datei nicht gefunden")), false},
                      Vanishing{"LoadCipherCode", FileButton::LoadCipherCode, cannotOpen, false},
                      Vanishing{"SaveCipherFolder", FileButton::SaveCipher, always(kBadName), true},
                      Vanishing{"SaveCipherCodeFolder", FileButton::SaveCipherCode, cannotCreate,
                                true}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(FileFaults, a_key_file_removed_after_the_save_dialog_is_written_anew) {
    const std::string path = dir.file("earlier.key");
    dialogs.onAnswer = [&](const QString&) { fs::remove(path); };
    const Outcome after = press(FileButton::SaveCipher, path);
    EXPECT_TRUE(after.errors.isEmpty()) << after.errors.join(" ").toStdString();
    EXPECT_EQ(readFile(path).size(), 36U);
}

// ---- A named pipe in place of a file ------------------------------------------------------------

// A pipe that nobody writes to (or reads from) must not keep the window waiting for ever: as a
// key file it reads as an empty file, as a text it is refused, and it cannot be written: a text
// finds no reader, a key is refused.
TEST_F(FileFaults, a_named_pipe_never_keeps_the_window_waiting) {
    const std::string fifo = dir.file("pipe.cif");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string result = inChild([&] {
        return pack({press(FileButton::LoadCipher, fifo).serialize(),
                     press(FileButton::SaveCipherCode, fifo).serialize(),
                     press(FileButton::LoadCipherCode, fifo).serialize(),
                     press(FileButton::SaveCipher, fifo).serialize()});
    });
    ASSERT_FALSE(!result.empty() && result[0] == '!') << result.substr(1);
    const auto parts = unpack(result);
    ASSERT_EQ(parts.size(), 4U);
    const std::string windowBefore = windowState();

    const Outcome loadKey = Outcome::parse(parts[0]);
    EXPECT_EQ(loadKey.errors,
              QStringList{QString::fromStdString(dotted("Lesen nach Dateiende (EOF)"))});
    EXPECT_EQ(loadKey.window, windowBefore);
    const Outcome saveText = Outcome::parse(parts[1]);
    EXPECT_EQ(saveText.errors, QStringList{QString::fromStdString(cannotCreate(fifo))});
    EXPECT_EQ(saveText.window, windowBefore);
    const Outcome loadText = Outcome::parse(parts[2]);
    EXPECT_EQ(loadText.errors, QStringList{QString::fromStdString(cannotOpen(fifo))});
    EXPECT_EQ(loadText.window, windowBefore);
    // A key is refused before it could vanish into the pipe.
    const Outcome saveKey = Outcome::parse(parts[3]);
    EXPECT_EQ(saveKey.errors, QStringList{QString::fromStdString(kDenied)});
}

// ---- A disk that runs full ----------------------------------------------------------------------

// Fills a file system: a file grows until no block is left.
std::string fillUp(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return std::string("!cannot create the filler: ") + std::strerror(errno);
    const std::string block(4096, 'f');
    for (std::size_t size = block.size(); size > 0; size /= 2)
        while (::write(fd, block.data(), size) == static_cast<ssize_t>(size)) {
        }
    ::close(fd);
    return {};
}

// A small file system of its own: a tmpfs mounted in a mount namespace of the child's, so that
// nothing outside the child ever sees it and it goes with the child.
std::string mountSmallDisk(const std::string& at) {
    if (::unshare(CLONE_NEWNS) != 0)
        return std::string("?no mount namespace: ") + std::strerror(errno);
    if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("?cannot make the mounts private: ") + std::strerror(errno);
    if (::mount("zelmak-test", at.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=128k,mode=755") !=
        0)
        return std::string("?cannot mount a tmpfs: ") + std::strerror(errno);
    return {};
}

TEST_F(FileFaults, a_full_disk_keeps_the_earlier_files_and_leaves_no_new_ones) {
    const std::string disk = dir.file("disk");
    fs::create_directory(disk);
    const std::string result = inChild([&]() -> std::string {
        if (std::string refused = mountSmallDisk(disk); !refused.empty())
            return refused;
        writeFile(disk + "/earlier.key", kEarlierKey);
        writeFile(disk + "/earlier.cif", kEarlierCipher);
        if (std::string failed = fillUp(disk + "/filler"); !failed.empty())
            return failed;
        const std::string before = listing(disk);
        return pack({press(FileButton::SaveCipherCode, disk + "/earlier.cif").serialize(),
                     press(FileButton::SaveCipherCode, disk + "/new").serialize(),
                     press(FileButton::SaveCipher, disk + "/new.key").serialize(), before,
                     listing(disk)});
    });
    if (!result.empty() && result[0] == '?') {
        std::fprintf(stderr, "*** SKIPPED the full tmpfs: %s\n", result.c_str() + 1);
        GTEST_SKIP() << "no small disk could be mounted (" << result.substr(1)
                     << "); the full disk is still covered through /dev/full";
    }
    ASSERT_FALSE(!result.empty() && result[0] == '!') << result.substr(1);
    const std::vector<std::string> parts = unpack(result);
    ASSERT_EQ(parts.size(), 5U) << result;

    const std::string windowBefore = windowState();
    const Outcome overEarlier = Outcome::parse(parts[0]);
    EXPECT_EQ(overEarlier.errors, QStringList{QString::fromStdString(kWriteFailed)});
    EXPECT_EQ(overEarlier.window, windowBefore);
    const Outcome newText = Outcome::parse(parts[1]);
    EXPECT_EQ(newText.errors, QStringList{QString::fromStdString(kWriteFailed)});
    const Outcome newKey = Outcome::parse(parts[2]);
    EXPECT_EQ(newKey.errors, QStringList{QString::fromStdString(kDiskFull)});
    EXPECT_EQ(newKey.window, windowBefore);
    EXPECT_EQ(parts[4], parts[3]) << "the full disk changed";
    EXPECT_NE(parts[3].find("bytes \"" + kEarlierCipher + "\""), std::string::npos) << parts[3];
}

} // namespace
} // namespace zelmak::test
