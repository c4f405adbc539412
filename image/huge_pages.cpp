// Huge-page advice through madvise, where the system has it.
#include "image/huge_pages.h"

#include <cstdint>

#ifndef _WIN32
#include <sys/mman.h>
#include <unistd.h>
#endif

#ifdef MADV_HUGEPAGE
// Pixel buffers at least this large ask for huge pages.
constexpr std::size_t huge_page_advice_threshold = std::size_t{4} << 20;
#endif

// On machines where first touching a page is costly (virtual machines
// especially), the 4 KiB page faults of a fresh buffer cost more than
// converting the pixels; a 2 MiB page takes one fault for 512. Only whole
// pages inside the buffer are advised.
void advise_huge_pages(void* buffer, std::size_t size) {
#ifdef MADV_HUGEPAGE
    if (size < huge_page_advice_threshold) return;
    static const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto first = reinterpret_cast<std::uintptr_t>(buffer);
    const std::uintptr_t start = (first + page - 1) & ~(page - 1);
    const std::uintptr_t end = (first + size) & ~(page - 1);
    if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#else
    (void)buffer;
    (void)size;
#endif
}
