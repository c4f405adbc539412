// File views through Windows file mappings.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <string>

#include "image/file_map.h"

// The path in UTF-16 for the wide file calls; empty for a path that is not
// valid UTF-8, or for an empty one.
static std::wstring wide_path(const char* path) {
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
    if (length <= 1) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, &wide[0], length) != length) {
        return std::wstring();
    }
    wide.resize(static_cast<std::size_t>(length) - 1);
    return wide;
}

// The size of an open disk file, or 0 for anything else (a pipe, a console,
// a device) and for a file too large to map at once.
static std::size_t disk_file_size(HANDLE file) {
    if (GetFileType(file) != FILE_TYPE_DISK) return 0;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0) return 0;
    if (static_cast<std::uint64_t>(size.QuadPart) > SIZE_MAX) return 0;
    return static_cast<std::size_t>(size.QuadPart);
}

bool open_file_map(const char* path, FileMap* map) {
    if (path == nullptr) return false;
    const std::wstring wide = wide_path(path);
    if (wide.empty()) return false;
    // Shared for reading only; a directory does not open without backup
    // semantics, which are not asked for.
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const std::size_t size = disk_file_size(file);
    HANDLE mapping =
        size != 0 ? CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr) : nullptr;
    const void* view =
        mapping != nullptr ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    // The view keeps the mapping, and so the file, open until it is unmapped.
    if (mapping != nullptr) CloseHandle(mapping);
    CloseHandle(file);
    if (view == nullptr) return false;
    map->bytes = static_cast<const std::uint8_t*>(view);
    map->size = size;
    return true;
}

void close_file_map(FileMap* map) {
    UnmapViewOfFile(map->bytes);
    *map = FileMap{};
}
