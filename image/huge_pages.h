// Huge-page advice for large pixel buffers.
#pragma once

#include <cstddef>

// Asks the system to back the fresh heap buffer of `size` bytes at `buffer`
// with huge pages, where it allows that on request and the buffer is large
// enough to gain from it; elsewhere does nothing. The advice is a hint: the
// buffer's contents and its release with free() are unchanged.
void advise_huge_pages(void* buffer, std::size_t size);
