// Prints every message box on the desktop, one line each, in UTF-8: its
// caption, its text (line breaks written as \n) and the title of its owner
// window, separated by tabs. The end-to-end tests read the program's boxes
// with it, as a user reads them off the screen.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], length,
                        nullptr, nullptr);
    return bytes;
}

std::wstring window_text(HWND window) {
    wchar_t text[2048] = {};
    GetWindowTextW(window, text, 2048);
    return text;
}

// A message box is a dialog whose text is the static control 0xFFFF.
BOOL CALLBACK print_box(HWND window, LPARAM) {
    wchar_t class_name[16] = {};
    GetClassNameW(window, class_name, 16);
    HWND text_control = GetDlgItem(window, 0xFFFF);
    if (lstrcmpW(class_name, L"#32770") != 0 || !IsWindowVisible(window) || !text_control) {
        return TRUE;
    }
    std::string text;
    for (char c : utf8(window_text(text_control))) {
        if (c == '\r') continue;
        text += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    HWND owner = GetWindow(window, GW_OWNER);
    std::printf("%s\t%s\t%s\n", utf8(window_text(window)).c_str(), text.c_str(),
                owner ? utf8(window_text(owner)).c_str() : "");
    return TRUE;
}

}  // namespace

int main() {
    EnumWindows(print_box, 0);
    return 0;
}
