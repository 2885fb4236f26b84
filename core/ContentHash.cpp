#include "ContentHash.h"

// Header-only: nothing of the library to link, in the Windows build either.
#define XXH_INLINE_ALL
#include <xxhash.h>

#include <new>

namespace velk {

struct ContentHasher::State {
    XXH3_state_t xxh3;
};

ContentHasher::ContentHasher() : m_state(std::make_unique<State>()) {
    if (XXH3_64bits_reset(&m_state->xxh3) != XXH_OK)
        throw std::bad_alloc();
}

ContentHasher::~ContentHasher() = default;

void ContentHasher::update(const char* bytes, std::size_t size) {
    (void)XXH3_64bits_update(&m_state->xxh3, bytes, size);
    m_size += size;
}

ContentHash ContentHasher::result() const {
    return {m_size, XXH3_64bits_digest(&m_state->xxh3)};
}

} // namespace velk
