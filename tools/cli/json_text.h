#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <vector>

namespace zelmak::cli {

namespace detail {

// What each control character becomes inside a JSON string, as nlohmann::json writes it: its
// short escape where JSON has one, \u00xx (lower-case hex) otherwise.
struct JsonEscapes {
    std::array<std::array<char, 7>, 32> control{};
    constexpr JsonEscapes() {
        constexpr char kHex[] = "0123456789abcdef";
        for (std::size_t c = 0; c < 32; ++c)
            control[c] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15], '\0'};
        control['\b'] = {'\\', 'b'};
        control['\t'] = {'\\', 't'};
        control['\n'] = {'\\', 'n'};
        control['\f'] = {'\\', 'f'};
        control['\r'] = {'\\', 'r'};
    }
};
inline constexpr JsonEscapes kJsonEscapes;

// Whether any of eight bytes needs an escape: below 0x20, '"' or '\\'. Eight at a time, so that a
// long text goes through at the speed of a copy. (w - n in every byte) & ~w keeps a top bit only
// in a byte below n, or above one through its borrow: exact as a whole for n up to 0x80.
constexpr bool anyNeedsEscape(std::uint64_t w) {
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kTops = 0x8080808080808080;
    auto anyBelow = [](std::uint64_t x, std::uint64_t n) { return (x - kOnes * n) & ~x & kTops; };
    return (anyBelow(w, 0x20) | anyBelow(w ^ (kOnes * '"'), 1) | anyBelow(w ^ (kOnes * '\\'), 1)) !=
           0;
}

constexpr bool needsEscape(unsigned char c) {
    return c < 0x20 || c == '"' || c == '\\';
}

inline std::string_view escapeOf(unsigned char c) {
    if (c == '"')
        return "\\\"";
    if (c == '\\')
        return "\\\\";
    return kJsonEscapes.control[c].data();
}

} // namespace detail

// Hands `text` to `sink` (called with string_views) escaped for a JSON string, byte for byte as
// nlohmann::json escapes valid UTF-8. The runs of bytes that need no escape go out whole.
template <typename Sink> void writeJsonEscaped(std::string_view text, Sink&& sink) {
    const std::size_t n = text.size();
    std::size_t from = 0;
    std::size_t i = 0;
    for (;;) {
        for (std::uint64_t eight = 0; i + sizeof eight <= n; i += sizeof eight) {
            std::memcpy(&eight, text.data() + i, sizeof eight);
            if (detail::anyNeedsEscape(eight))
                break;
        }
        while (i < n && !detail::needsEscape(static_cast<unsigned char>(text[i])))
            ++i;
        if (i > from)
            sink(text.substr(from, i - from));
        if (i == n)
            return;
        sink(detail::escapeOf(static_cast<unsigned char>(text[i])));
        from = ++i;
    }
}

// A long text for a JSON string, escaped piece by piece as it comes (while the piece is fresh in
// the cache) into blocks that double up to 4 MiB: it grows without copying what it holds. The
// large blocks ask for huge pages, so that tens of mebibytes are not thousands of page faults.
class PiecedText {
public:
    void append(std::string_view piece) {
        writeJsonEscaped(piece, [this](std::string_view bytes) {
            while (!bytes.empty()) {
                if (m_blocks.empty() || m_blocks.back().used == m_blocks.back().size)
                    addBlock();
                Block& b = m_blocks.back();
                const std::size_t n = std::min(bytes.size(), b.size - b.used);
                std::memcpy(b.bytes.get() + b.used, bytes.data(), n);
                b.used += n;
                bytes.remove_prefix(n);
            }
        });
    }

    // The text as a JSON string, quotes and all.
    template <typename Sink> void writeJson(Sink&& sink) const {
        sink(std::string_view("\"", 1));
        for (const Block& b : m_blocks)
            sink(std::string_view(b.bytes.get(), b.used));
        sink(std::string_view("\"", 1));
    }

private:
    static constexpr std::size_t kHugePage = std::size_t{2} << 20;
    struct Free {
        void operator()(char* p) const { std::free(p); }
    };
    struct Block {
        std::unique_ptr<char, Free> bytes;
        std::size_t size = 0;
        std::size_t used = 0;
    };

    void addBlock() {
        const std::size_t size = m_blocks.empty()
                                     ? std::size_t{64} << 10
                                     : std::min(2 * m_blocks.back().size, 2 * kHugePage);
        void* bytes =
            std::aligned_alloc(size >= kHugePage ? kHugePage : alignof(std::max_align_t), size);
        if (!bytes)
            throw std::bad_alloc();
        if (size >= kHugePage)
            ::madvise(bytes, size, MADV_HUGEPAGE); // only advice: without it, smaller pages
        m_blocks.push_back({std::unique_ptr<char, Free>(static_cast<char*>(bytes)), size, 0});
    }

    std::vector<Block> m_blocks;
};

} // namespace zelmak::cli
