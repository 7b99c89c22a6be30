#pragma once

#include <QStringView>

#include <cstddef>
#include <string>
#include <string_view>

namespace zelmak {

// The converter's panes hold ISO 8859-1, one byte a character, as the machine's files do. A
// character without an ISO 8859-1 form shows as this, which the conversion drops like any other
// character without a key.
inline constexpr char kNoLatin1 = '?';

// A letter read from a file, ready for the converter's panes.
struct LetterText {
    enum class Encoding { Utf8, Latin1 };
    std::string latin1;
    Encoding encoding = Encoding::Latin1;
    std::size_t characters = 0;    // in the file, a byte order mark left out
    std::size_t withoutLatin1 = 0; // of them, those that show as kNoLatin1
};

// Reads the bytes as UTF-8 when they are valid UTF-8 (a byte order mark before them is left
// out), else as ISO 8859-1.
LetterText readLetter(std::string_view bytes);

// The text in the panes' form. Letters written with combining marks become the letters with
// the marks ("A" and a combining diaeresis the "Ä" they show), a space or line separator beyond
// ISO 8859-1 a space or line break, so that it still parts words; each other character beyond
// ISO 8859-1 becomes one kNoLatin1, also one beyond 16 bits. Counts those in *withoutLatin1.
std::string toPaneText(QStringView text, std::size_t* withoutLatin1 = nullptr);

} // namespace zelmak
