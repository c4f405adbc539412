#include "platform/web/key_codes.h"

#include <cstdlib>
#include <cstring>

struct NamedKey {
    const char* code;
    WParam key;
};
static constexpr NamedKey named_keys[] = {
    {"NumpadAdd", VK_ADD},        {"NumpadSubtract", VK_SUBTRACT},
    {"NumpadMultiply", VK_MULTIPLY}, {"NumpadDivide", VK_DIVIDE},
    {"NumpadDecimal", VK_DECIMAL}, {"NumpadEnter", VK_RETURN},
    {"Space", VK_SPACE},          {"Enter", VK_RETURN},
    {"Escape", VK_ESCAPE},        {"Backspace", VK_BACK},
    {"Tab", VK_TAB},              {"ShiftLeft", VK_SHIFT},
    {"ShiftRight", VK_SHIFT},     {"ControlLeft", VK_CONTROL},
    {"ControlRight", VK_CONTROL}, {"AltLeft", VK_MENU},
    {"AltRight", VK_MENU},        {"ArrowLeft", VK_LEFT},
    {"ArrowUp", VK_UP},           {"ArrowRight", VK_RIGHT},
    {"ArrowDown", VK_DOWN},       {"Equal", VK_OEM_PLUS},
    {"Minus", VK_OEM_MINUS},
};

// The number after `prefix` in `code`, when it is all digits and within
// [low, high]; -1 otherwise.
static int numbered(const char* code, const char* prefix, int low, int high) {
    const std::size_t length = std::strlen(prefix);
    if (std::strncmp(code, prefix, length) != 0 || code[length] == '\0') return -1;
    char* end = nullptr;
    const long number = std::strtol(code + length, &end, 10);
    if (*end != '\0' || code[length] < '0' || code[length] > '9') return -1;
    return number >= low && number <= high ? static_cast<int>(number) : -1;
}

WParam virtual_key(const char* code) {
    if (std::strncmp(code, "Key", 3) == 0 && code[3] >= 'A' && code[3] <= 'Z' && code[4] == '\0') {
        return static_cast<WParam>(code[3]);
    }
    if (int digit = numbered(code, "Digit", 0, 9); digit >= 0) return '0' + WParam(digit);
    if (int digit = numbered(code, "Numpad", 0, 9); digit >= 0) return VK_NUMPAD0 + WParam(digit);
    if (int number = numbered(code, "F", 1, 12); number >= 0) return VK_F1 + WParam(number - 1);
    for (const NamedKey& named : named_keys) {
        if (std::strcmp(code, named.code) == 0) return named.key;
    }
    return 0;
}

bool key_kept_from_browser(WParam key) {
    const bool keypad = (key >= VK_NUMPAD0 && key < VK_NUMPAD0 + 10) || key == VK_ADD ||
                        key == VK_SUBTRACT || key == VK_MULTIPLY || key == VK_DIVIDE ||
                        key == VK_DECIMAL;
    return (key >= VK_F1 && key <= VK_F5) || key == VK_SPACE || key == VK_TAB ||
           key == VK_ESCAPE || keypad;
}
