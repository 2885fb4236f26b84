// The content hash that card verification trusts, XXH3 through core's ContentHasher, against
// the home-made 64-bit hash it replaced, over the same buffers in one run: 64 MiB handed over
// in the 512 KiB chunks a copy writes.

#include "core/ContentHash.h"

#include <benchmark/benchmark.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t chunkBytes = 512 * 1024;
constexpr std::size_t totalBytes = 64 * 1024 * 1024;

/// The hash card verification used before XXH3, as it stood in core (four lanes over 32-byte
/// blocks); kept here only as the baseline the new hash is measured against.
class PreviousContentHash {
public:
    void update(const char* bytes, std::size_t size) {
        m_size += size;
        if (m_pendingBytes > 0) {
            const std::size_t n =
                size < blockBytes - m_pendingBytes ? size : blockBytes - m_pendingBytes;
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

    [[nodiscard]] std::uint64_t digest() const {
        std::uint64_t hash = std::rotl(m_lane[0], 1) + std::rotl(m_lane[1], 7) +
                             std::rotl(m_lane[2], 12) + std::rotl(m_lane[3], 18);
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

private:
    static constexpr std::size_t blockBytes = 32;
    static constexpr std::uint64_t prime1 = 0x9E3779B185EBCA87u;
    static constexpr std::uint64_t prime2 = 0xC2B2AE3D27D4EB4Fu;
    static constexpr std::uint64_t prime3 = 0x165667B19E3779F9u;
    static constexpr std::uint64_t prime4 = 0x85EBCA77C2B2AE63u;
    static constexpr std::uint64_t prime5 = 0x27D4EB2F165667C5u;

    static std::uint64_t load64(const void* at) {
        std::uint64_t value;
        std::memcpy(&value, at, sizeof value);
        return value;
    }
    static std::uint64_t mix(std::uint64_t lane, std::uint64_t input) {
        return std::rotl(lane + input * prime2, 31) * prime1;
    }
    static std::uint64_t merge(std::uint64_t hash, std::uint64_t lane) {
        return (hash ^ mix(0, lane)) * prime1 + prime4;
    }

    void block(const char* bytes) {
        for (int i = 0; i < 4; ++i)
            m_lane[i] = mix(m_lane[i], load64(bytes + 8 * i));
    }

    std::uint64_t m_lane[4] = {0x60EA27EEADC0B5D6u, 0xC2B2AE3D27D4EB4Fu, 0u, 0x61C8864E7A143579u};
    unsigned char m_pending[blockBytes] = {};
    std::size_t m_pendingBytes = 0;
    std::uint64_t m_size = 0;
};

/// Bytes that no hash can take a short cut through: a fixed pseudo-random stream.
const std::vector<char>& buffers() {
    static const std::vector<char> bytes = [] {
        std::vector<char> b(totalBytes);
        std::uint64_t state = 0x243F6A8885A308D3u;
        for (char& c : b) {
            state = state * 6364136223846793005u + 1442695040888963407u;
            c = static_cast<char>(state >> 56);
        }
        return b;
    }();
    return bytes;
}

template <typename Hash, typename Result> void hashAll(benchmark::State& state, Result result) {
    const std::vector<char>& bytes = buffers();
    for (auto _ : state) {
        Hash hash;
        for (std::size_t at = 0; at < bytes.size(); at += chunkBytes)
            hash.update(bytes.data() + at, chunkBytes);
        auto value = result(hash);
        benchmark::DoNotOptimize(value);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_ContentHashXXH3(benchmark::State& state) {
    hashAll<velk::ContentHasher>(state, [](const velk::ContentHasher& h) { return h.result(); });
}

void BM_PreviousContentHash(benchmark::State& state) {
    hashAll<PreviousContentHash>(state, [](const PreviousContentHash& h) { return h.digest(); });
}

} // namespace

BENCHMARK(BM_PreviousContentHash)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ContentHashXXH3)->Unit(benchmark::kMillisecond);
