#include "key_sheet.h"

#include "files/file_writing.h"
#include "machine/key_alphabet.h"
#include "machine/machine.h"
#include "options.h"
#include "settings/settings.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace zelmak::cli {

namespace {

constexpr const char* kMonthNames[] = {"January",   "February", "March",    "April",
                                       "May",       "June",     "July",     "August",
                                       "September", "October",  "November", "December"};
constexpr const char* kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

std::string twoDigits(int n) {
    return std::string{static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
}

// The card's pair for key k: the key's symbol and the symbol its card entry carries.
std::string cardPair(const KeyRecordBytes& record, int k, const char* arrow) {
    return std::string(1, keySymbol(k)) + arrow +
           keySymbol(record[static_cast<std::size_t>(k - 1)]);
}

std::string discOrder(const KeyRecordBytes& record) {
    std::string discs;
    for (std::size_t s = 0; s < 5; ++s) {
        if (s > 0)
            discs += ' ';
        discs += static_cast<char>('1' + record[kCardBytes + s]);
    }
    return discs;
}

constexpr const char* kExplanation =
    "Card: key \xE2\x86\x92 symbol for the 31 card selectors. Discs: the disc numbers of slots 1 "
    "to 5. Check: what AAAAA keyed from positions A A A A A in Cipher mode gives with the day's "
    "setting, as zelmak-cli --check-value --key YYYY-MM-DD.key writes it.";

} // namespace

std::string KeySheet::date(const Day& d) const {
    return monthName() + "-" + twoDigits(d.day);
}

std::string KeySheet::monthName() const {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d", year, month);
    return text;
}

KeySheet drawKeySheet(int year, int month, RandomSource& source) {
    using namespace std::chrono;
    KeySheet sheet;
    sheet.year = year;
    sheet.month = month;
    const year_month_day_last last{std::chrono::year{year} /
                                   std::chrono::month{static_cast<unsigned>(month)} /
                                   std::chrono::last};
    const auto days = static_cast<int>(static_cast<unsigned>(last.day()));
    for (int day = 1; day <= days; ++day) {
        const year_month_day ymd{std::chrono::year{year},
                                 std::chrono::month{static_cast<unsigned>(month)},
                                 std::chrono::day{static_cast<unsigned>(day)}};
        const weekday wd{sys_days{ymd}};
        const KeyRecordBytes record = drawRecord(source);
        sheet.days.push_back(
            {day, kWeekdays[wd.c_encoding()], record, checkValue(machineFor(record))});
    }
    return sheet;
}

std::string keySheetHtml(const KeySheet& sheet) {
    const std::string title = std::string("Zelmak key sheet, ") + kMonthNames[sheet.month - 1] +
                              " " + std::to_string(sheet.year);
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + title +
        "</title>\n<style>\n"
        "@page { size: A4 landscape; margin: 8mm; }\n"
        "body { font-family: \"DejaVu Sans Mono\", \"Liberation Mono\", monospace; "
        "font-size: 8.5pt; margin: 0; }\n"
        "@media screen { body { margin: 6mm; } }\n"
        "h1 { font-size: 12pt; margin: 0 0 1mm 0; }\n"
        "p { font-size: 8pt; margin: 0 0 2mm 0; max-width: 250mm; }\n"
        "table { border-collapse: collapse; }\n"
        "th, td { border: 0.2mm solid #555; padding: 0.4mm 0.6mm; text-align: center; "
        "white-space: nowrap; }\n"
        "th { background: #ddd; }\n"
        "tbody tr:nth-child(even) { background: #eee; }\n"
        "td.date, td.check { font-weight: bold; }\n"
        "td.card { padding: 0.4mm 0.35mm; }\n"
        "</style>\n</head>\n<body>\n<h1>" +
        title + "</h1>\n<p>" + kExplanation +
        "</p>\n<table>\n<thead><tr><th>Date</th><th colspan=\"31\">Card (key \xE2\x86\x92 "
        "symbol)</th><th>Discs</th><th>Check</th></tr></thead>\n<tbody>\n";
    for (const KeySheet::Day& d : sheet.days) {
        html += "<tr><td class=\"date\">" + sheet.date(d) + " " + d.weekday + "</td>";
        for (int k = 1; k <= kSymbolCount; ++k)
            html += "<td class=\"card\">" + cardPair(d.record, k, "\xE2\x86\x92") + "</td>";
        html += "<td>" + discOrder(d.record) + "</td><td class=\"check\">" + d.checkValue +
                "</td></tr>\n";
    }
    html += "</tbody>\n</table>\n</body>\n</html>\n";
    return html;
}

std::string keySheetText(const KeySheet& sheet) {
    std::string text = "Zelmak key sheet " + sheet.monthName() + "\r\n" +
                       "card: key>symbol for the 31 card selectors; discs: the disc numbers of "
                       "slots 1 to 5;\r\ncheck: AAAAA keyed from positions A A A A A in Cipher "
                       "mode\r\n\r\n";
    for (const KeySheet::Day& d : sheet.days) {
        text += sheet.date(d) + " " + d.weekday + "  card";
        for (int k = 1; k <= kSymbolCount; ++k)
            text.append(" ").append(cardPair(d.record, k, ">"));
        text += "  discs " + discOrder(d.record) + "  check " + d.checkValue + "\r\n";
    }
    return text;
}

int writeKeySheet(const KeySheet& sheet, const std::string& dir, std::FILE* err) {
    struct File {
        std::string path;
        std::string bytes;
    };
    const std::filesystem::path folder(dir);
    std::vector<File> files;
    for (const KeySheet::Day& d : sheet.days) {
        const KeyRecordBytes& r = d.record;
        files.push_back({(folder / (sheet.date(d) + ".key")).string(),
                         std::string(reinterpret_cast<const char*>(r.data()), r.size())});
    }
    files.push_back({(folder / (sheet.monthName() + ".html")).string(), keySheetHtml(sheet)});
    files.push_back({(folder / (sheet.monthName() + ".txt")).string(), keySheetText(sheet)});

    // A missing folder is made (its parent must exist), and removed again if no sheet is kept.
    struct stat st {};
    int why = 0;
    bool madeFolder = false;
    if (::stat(dir.c_str(), &st) != 0 && errno == ENOENT && ::mkdir(dir.c_str(), 0777) == 0)
        madeFolder = true;
    if (::stat(dir.c_str(), &st) != 0)
        why = errno;
    else if (!S_ISDIR(st.st_mode))
        why = ENOTDIR;
    if (why != 0) {
        std::fprintf(err, "zelmak-cli: cannot write the key sheet into %s: %s\n",
                     shown(dir).c_str(), std::strerror(why));
        return kFileFailure;
    }
    // Everything is looked at before anything is made, so that a refusal leaves no file behind.
    for (const File& f : files) {
        if (::lstat(f.path.c_str(), &st) == 0) {
            std::fprintf(err, "zelmak-cli: %s exists already; --key-sheet never replaces a file\n",
                         shown(f.path).c_str());
            return kFileFailure;
        }
        if (errno != ENOENT) {
            std::fprintf(err, "zelmak-cli: cannot create %s: %s\n", shown(f.path).c_str(),
                         std::strerror(errno));
            if (madeFolder)
                ::rmdir(dir.c_str());
            return kFileFailure;
        }
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        const writing::Result r = writing::createNew(files[i].path, files[i].bytes);
        if (r.done())
            continue;
        for (std::size_t made = 0; made < i; ++made)
            ::unlink(files[made].path.c_str());
        if (madeFolder)
            ::rmdir(dir.c_str());
        std::fprintf(err, "zelmak-cli: cannot create %s: %s; no file of the sheet was kept\n",
                     shown(files[i].path).c_str(), std::strerror(r.err));
        return kFileFailure;
    }
    return kOk;
}

} // namespace zelmak::cli
