// Case-insensitive lookup of bare file names in the working directory.
#include "render/file_lookup.h"

#ifdef _WIN32

// Windows's file systems already ignore letter case, so every name is opened
// as given: a bare one, or one with a directory part ('/', '\\' or a drive).
std::string resolve_file_name(const char* name) {
    return name != nullptr ? std::string(name) : std::string();
}

#else

#include <dirent.h>
#include <unistd.h>

#include <cstring>

// ASCII letters only: the pictures' names are ASCII, and a locale must not
// change which file is found.
static char fold_ascii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

static bool equal_ignoring_case(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (fold_ascii(*a) != fold_ascii(*b)) return false;
    }
    return *a == *b;
}

std::string resolve_file_name(const char* name) {
    if (name == nullptr) return std::string();
    std::string found = name;
    if (std::strchr(name, '/') != nullptr || access(name, F_OK) == 0) return found;
    DIR* directory = opendir(".");
    if (directory == nullptr) return found;
    bool matched = false;
    while (const dirent* entry = readdir(directory)) {
        if (!equal_ignoring_case(entry->d_name, name)) continue;
        // Directory order is arbitrary; the smallest name makes the choice stable.
        if (!matched || std::strcmp(entry->d_name, found.c_str()) < 0) found = entry->d_name;
        matched = true;
    }
    closedir(directory);
    return found;
}

#endif
