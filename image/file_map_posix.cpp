// File views through mmap.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "image/file_map.h"

bool open_file_map(const char* path, FileMap* map) {
    if (path == nullptr) return false;
    // Non-blocking, so that a FIFO under the name cannot hang the open; it
    // changes nothing for regular files.
    const int file = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) return false;
    struct stat status;
    if (fstat(file, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0) {
        close(file);
        return false;
    }
    const auto size = static_cast<std::size_t>(status.st_size);
    void* view = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, file, 0);
    // The mapping keeps its own reference to the file.
    close(file);
    if (view == MAP_FAILED) return false;
    map->bytes = static_cast<const std::uint8_t*>(view);
    map->size = size;
    return true;
}

void close_file_map(FileMap* map) {
    munmap(const_cast<std::uint8_t*>(map->bytes), map->size);
    *map = FileMap{};
}
