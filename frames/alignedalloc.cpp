#include "alignedalloc.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

// The raw address from malloc is kept in the 8 bytes just below the aligned address; 7 extra
// bytes beyond the alignment leave room for it whatever address malloc returns.
void *alignedAlloc(std::size_t size, std::size_t alignment)
{
    if (size == 0 || alignment == 0 || (alignment & (alignment - 1)) != 0) {
        return nullptr;
    }
    if (size > SIZE_MAX - alignment - 7) {
        return nullptr;
    }
    void *raw = std::malloc(size + alignment + 7);
    if (!raw) {
        return nullptr;
    }
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(raw) + 8;
    const std::uintptr_t aligned = (first + alignment - 1) & ~(static_cast<std::uintptr_t>(alignment) - 1);
    auto *result = reinterpret_cast<unsigned char *>(aligned);
    const std::uint64_t rawAddress = reinterpret_cast<std::uintptr_t>(raw);
    std::memcpy(result - 8, &rawAddress, sizeof rawAddress); // may be unaligned for alignments below 8
    return result;
}

void alignedFree(void *ptr)
{
    if (!ptr) {
        return;
    }
    std::uint64_t rawAddress = 0;
    std::memcpy(&rawAddress, static_cast<unsigned char *>(ptr) - 8, sizeof rawAddress);
    std::free(reinterpret_cast<void *>(static_cast<std::uintptr_t>(rawAddress)));
}
