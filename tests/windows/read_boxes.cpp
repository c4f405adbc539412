// Prints every message box on the desktop, one line each, in UTF-8: its
// caption, its text (line breaks written as \n) and its owner's title,
// separated by tabs. The end-to-end test reads the program's boxes with it.
#include <windows.h>

#include <cstdio>
#include <string>

static std::string text_of(HWND window) {
    wchar_t wide[2048] = {};
    char bytes[8192] = {};
    GetWindowTextW(window, wide, 2048);
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, bytes, sizeof bytes, nullptr, nullptr);
    std::string text;
    for (const char c : std::string(bytes)) {
        if (c != '\r') text += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return text;
}

int main() {
    // A message box is a top-level dialog whose text is the static control 0xFFFF.
    for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr;) {
        const HWND text = GetDlgItem(box, 0xFFFF);
        if (IsWindowVisible(box) && text != nullptr) {
            std::printf("%s\t%s\t%s\n", text_of(box).c_str(), text_of(text).c_str(),
                        text_of(GetWindow(box, GW_OWNER)).c_str());
        }
    }
}
