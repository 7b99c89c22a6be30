#include "fuzz_support.h"

#include "machine/key_alphabet.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace zelmak::fuzz {

namespace fs = std::filesystem;

namespace {

void removeScratch() {
    std::error_code ec;
    fs::remove_all(scratchDir(), ec);
}

} // namespace

void fail(const std::string& what) {
    std::fprintf(stderr, "\n*** fuzz check failed: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

const std::string& scratchDir() {
    // Never destroyed: the exit handler that removes the folder runs after static destructors.
    static const std::string* const dir = [] {
        std::string pattern = (fs::temp_directory_path() / "zelmak-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            fail("cannot create the scratch folder");
        auto* made = new std::string(pattern);
        std::atexit(removeScratch);
        return made;
    }();
    return *dir;
}

std::string scratchFile(std::string_view name) {
    return scratchDir() + "/" + std::string(name);
}

void clearScratch() {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(scratchDir(), ec))
        fs::remove_all(entry.path(), ec);
}

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        fail("cannot write " + path);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        fail("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int keyedIndex(char c) {
    if (c == ' ' || c == '_')
        return kWordSpaceIndex;
    if (c >= 'a' && c <= 'z')
        c = static_cast<char>(c - 'a' + 'A');
    return symbolIndex(c).value_or(0);
}

std::string keyedSymbols(std::string_view text, bool cipherMode) {
    std::string out;
    for (const char c : text) {
        const int index = keyedIndex(c);
        if (index == kWordSpaceIndex)
            out.push_back(cipherMode ? 'Y' : '_');
        else if (index != 0)
            out.push_back(keySymbol(index));
    }
    return out;
}

bool onlyOutputSymbols(std::string_view text, bool cipherMode) {
    for (const char c : text) {
        const bool ok = c == (cipherMode ? 'Y' : '_') || (c != 'Y' && symbolIndex(c).has_value());
        if (!ok)
            return false;
    }
    return true;
}

} // namespace zelmak::fuzz
