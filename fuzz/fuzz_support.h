#pragma once

// What the fuzz targets share: a check that stops the run (libFuzzer then keeps the input that
// led to it), a scratch folder of this process, and the symbols a text keys into the machine,
// worked out here independently of the machine's own feed.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zelmak::fuzz {

// Prints what did not hold and aborts.
[[noreturn]] void fail(const std::string& what);

inline void expect(bool holds, const char* what) {
    if (!holds)
        fail(what);
}

// A folder of this process under the system's temporary folder, removed at exit.
const std::string& scratchDir();
std::string scratchFile(std::string_view name);
// Removes everything in the scratch folder, so no run sees the files of an earlier one.
void clearScratch();

void writeFile(const std::string& path, std::string_view bytes);
std::string readFile(const std::string& path);

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Reads the input from the front; past its end every byte reads as 0.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : m_bytes(bytes) {}
    std::uint8_t next() {
        return m_pos < m_bytes.size() ? static_cast<std::uint8_t>(m_bytes[m_pos++]) : 0;
    }
    std::string_view rest() const { return m_pos < m_bytes.size() ? m_bytes.substr(m_pos) : ""; }

private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

// The key index a character of a loaded text keys (a..z as A..Z, a space and "_" as the word
// space), or 0 when it has no key.
int keyedIndex(char c);

// Each keyed character of a text as the symbol that deciphering (or enciphering) it again
// gives back: its own symbol, and for the word space "_" after deciphering, "Y" after
// enciphering.
std::string keyedSymbols(std::string_view text, bool cipherMode);

// Whether every byte of a text is an output symbol of the mode: KeyAlphabet, with index 27
// shown as "Y" in Cipher mode and as "_" in Decipher mode.
bool onlyOutputSymbols(std::string_view text, bool cipherMode);

} // namespace zelmak::fuzz
