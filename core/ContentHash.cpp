#include "ContentHash.h"

#include <bit>
#include <cstring>

namespace velk {

namespace {

constexpr std::uint64_t prime1 = 0x9E3779B185EBCA87u;
constexpr std::uint64_t prime2 = 0xC2B2AE3D27D4EB4Fu;
constexpr std::uint64_t prime3 = 0x165667B19E3779F9u;
constexpr std::uint64_t prime4 = 0x85EBCA77C2B2AE63u;
constexpr std::uint64_t prime5 = 0x27D4EB2F165667C5u;

std::uint64_t load64(const void* at) {
    std::uint64_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

std::uint64_t mix(std::uint64_t lane, std::uint64_t input) {
    return std::rotl(lane + input * prime2, 31) * prime1;
}

std::uint64_t merge(std::uint64_t hash, std::uint64_t lane) {
    return (hash ^ mix(0, lane)) * prime1 + prime4;
}

} // namespace

void ContentHash::block(const char* bytes) {
    for (int i = 0; i < 4; ++i)
        m_lane[i] = mix(m_lane[i], load64(bytes + 8 * i));
}

void ContentHash::update(const char* bytes, std::size_t size) {
    m_size += size;
    if (m_pendingBytes > 0) {
        const std::size_t n = size < blockBytes - m_pendingBytes ? size : blockBytes - m_pendingBytes;
        std::memcpy(m_pending + m_pendingBytes, bytes, n);
        m_pendingBytes += n;
        bytes += n;
        size -= n;
        if (m_pendingBytes < blockBytes)
            return;
        block(reinterpret_cast<const char*>(m_pending));
        m_pendingBytes = 0;
    }
    for (; size >= blockBytes; bytes += blockBytes, size -= blockBytes)
        block(bytes);
    std::memcpy(m_pending, bytes, size);
    m_pendingBytes = size;
}

std::uint64_t ContentHash::digest() const {
    std::uint64_t hash = std::rotl(m_lane[0], 1) + std::rotl(m_lane[1], 7) + std::rotl(m_lane[2], 12) +
                         std::rotl(m_lane[3], 18);
    for (const std::uint64_t lane : m_lane)
        hash = merge(hash, lane);
    hash += m_size;
    std::size_t at = 0;
    for (; at + 8 <= m_pendingBytes; at += 8)
        hash = std::rotl(hash ^ mix(0, load64(m_pending + at)), 27) * prime1 + prime4;
    for (; at < m_pendingBytes; ++at)
        hash = std::rotl(hash ^ (m_pending[at] * prime5), 11) * prime1;
    hash ^= hash >> 33;
    hash *= prime2;
    hash ^= hash >> 29;
    hash *= prime3;
    return hash ^ (hash >> 32);
}

} // namespace velk
