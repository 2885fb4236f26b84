#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace velk {

/// What a file's bytes came to: their count and their 64-bit XXH3 hash, so that what reached
/// the card can be checked against what was written without reading the source again. Any
/// change of length, and all but a vanishing share of changed bytes, give another value.
struct ContentHash {
    std::uint64_t size = 0;
    std::uint64_t digest = 0;

    bool operator==(const ContentHash&) const = default;
};

/// Hashes bytes as they go by; the same bytes give the same hash however they are cut into
/// pieces.
class ContentHasher {
public:
    ContentHasher();
    ~ContentHasher();
    ContentHasher(const ContentHasher&) = delete;
    ContentHasher& operator=(const ContentHasher&) = delete;

    void update(const char* bytes, std::size_t size);
    [[nodiscard]] ContentHash result() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
    std::uint64_t m_size = 0;
};

} // namespace velk
