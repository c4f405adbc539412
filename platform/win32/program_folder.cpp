// The pictures beside the program. The program reads its pictures from the
// working directory; the Start-menu shortcut and a double click in Explorer
// start it in its own folder, but a start by full path (Win+R, a console in
// another folder) leaves the working directory elsewhere, and every picture
// would be reported missing. When the working directory holds no pictures at
// all and the program's own folder does, the program works in its own folder.
#include <string>

#include "platform/win32/win32.h"

static bool holds_pictures(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"*.bmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

static std::wstring program_folder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

void find_pictures_beside_program() {
    if (holds_pictures(std::wstring())) return;
    const std::wstring folder = program_folder();
    if (!folder.empty() && holds_pictures(folder)) SetCurrentDirectoryW(folder.c_str());
}
