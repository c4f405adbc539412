// Read-only views of whole files: the bitmap reader reads a file in place
// through one, never copying it.
#pragma once

#include <cstddef>
#include <cstdint>

// The bytes of one mapped file. Nothing else is held open while a view lives:
// the file itself is closed as soon as its view is made.
struct FileMap {
    const std::uint8_t* bytes;
    std::size_t size;
};

// Maps the whole file at `path` (UTF-8) read-only into `map`. Fails, without
// waiting, for a null path, a missing or unreadable file, anything that is not
// a regular file (a directory, a FIFO, a device) and an empty file.
bool open_file_map(const char* path, FileMap* map);

// Releases a view that open_file_map made.
void close_file_map(FileMap* map);
