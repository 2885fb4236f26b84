#pragma once

#include <cstddef>
#include <cstdint>

namespace velk {

/// A running 64-bit hash of a file's bytes and their count, taken as the bytes go by, so
/// that what reached the card can be checked against what was written without reading the
/// source again. Any change of length, and all but a vanishing share of changed bytes, give
/// another value. The same bytes give the same value however they are cut into pieces.
class ContentHash {
public:
    void update(const char* bytes, std::size_t size);
    [[nodiscard]] std::uint64_t digest() const;
    [[nodiscard]] std::uint64_t size() const { return m_size; }

    friend bool operator==(const ContentHash& a, const ContentHash& b) {
        return a.m_size == b.m_size && a.digest() == b.digest();
    }

private:
    static constexpr std::size_t blockBytes = 32;

    void block(const char* bytes);

    // Four lanes over 32-byte blocks keep the multiplier units busy; the tail waits in m_pending.
    std::uint64_t m_lane[4] = {0x60EA27EEADC0B5D6u, 0xC2B2AE3D27D4EB4Fu, 0u, 0x61C8864E7A143579u};
    unsigned char m_pending[blockBytes] = {};
    std::size_t m_pendingBytes = 0;
    std::uint64_t m_size = 0;
};

} // namespace velk
