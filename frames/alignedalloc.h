#pragma once

#include <cstddef>

// Allocates size bytes at an address that is a multiple of alignment (a power of two).
// Returns null when size or alignment is 0, alignment is not a power of two, or memory is
// short. The block is not cleared. Free it with alignedFree only.
void *alignedAlloc(std::size_t size, std::size_t alignment);

// Frees a block from alignedAlloc; null is accepted. Its signature fits QImage's clean-up
// function, so images built on such blocks free them when they go.
void alignedFree(void *ptr);
