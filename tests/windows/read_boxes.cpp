// Prints every message box on the desktop, one line each, in UTF-8: its
// caption, its text (line breaks written as \n) and its owner's title,
// separated by tabs. The end-to-end tests read the program's boxes with it.
#include <windows.h>

#include <cstdio>
#include <string>

static std::string text_of(HWND window) {
    wchar_t wide[2048] = {};
    char bytes[8192] = {};
    GetWindowTextW(window, wide, 2048);
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, bytes, sizeof bytes, nullptr, nullptr);
    std::string text;
    for (const char* c = bytes; *c != '\0'; ++c) {
        if (*c != '\r') text += *c == '\n' ? std::string("\\n") : std::string(1, *c);
    }
    return text;
}

// A message box is a dialog whose text is the static control 0xFFFF.
static BOOL CALLBACK print_box(HWND window, LPARAM) {
    wchar_t class_name[16] = {};
    GetClassNameW(window, class_name, 16);
    const HWND text = GetDlgItem(window, 0xFFFF);
    if (lstrcmpW(class_name, L"#32770") == 0 && IsWindowVisible(window) && text != nullptr) {
        std::printf("%s\t%s\t%s\n", text_of(window).c_str(), text_of(text).c_str(),
                    text_of(GetWindow(window, GW_OWNER)).c_str());
    }
    return TRUE;
}

int main() { EnumWindows(print_box, 0); }
