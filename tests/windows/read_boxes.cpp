// Prints every message box on the desktop in UTF-8, a line each: its caption, text (line breaks
// as \n) and owner's title, tab-separated.
#include <windows.h>

#include <cstdio>
#include <string>

static std::string text_of(HWND window) {
    static wchar_t wide[32768];
    static char bytes[131072];
    wide[0] = L'\0';
    DWORD_PTR length = 0;  // a window that does not answer within 2 s reads as empty
    SendMessageTimeoutW(window, WM_GETTEXT, 32768, reinterpret_cast<LPARAM>(wide), SMTO_ABORTIFHUNG,
                        2000, &length);
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, bytes, sizeof bytes, nullptr, nullptr);
    std::string text;
    for (const char c : std::string(bytes))
        if (c != '\r') text += c == '\n' ? std::string("\\n") : std::string(1, c);
    return text;
}

int main() {
    // A message box is a top-level dialog whose text is the static control 0xFFFF.
    for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr;) {
        const HWND text = GetDlgItem(box, 0xFFFF);
        if (IsWindowVisible(box) && text != nullptr)
            std::printf("%s\t%s\t%s\n", text_of(box).c_str(), text_of(text).c_str(),
                        text_of(GetWindow(box, GW_OWNER)).c_str());
    }
}
