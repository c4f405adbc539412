// The message, key, style and box numbers of the window-system interface.
// They are the numbers of the Windows API: on Windows they come from
// windows.h itself, so that no definition here ever fights the platform's
// own macros (GL/gl.h pulls windows.h into every file that draws); elsewhere
// they are defined here with the same names and values.
#pragma once

#if defined(_WIN32)

#include <windows.h>

#else

#include <cstdint>

// ---------------------------------------------------------------------------
// Messages, with the numbers desktop programs know them by.
constexpr std::uint32_t WM_NULL = 0x0000;
constexpr std::uint32_t WM_DESTROY = 0x0002;
constexpr std::uint32_t WM_SIZE = 0x0005;
constexpr std::uint32_t WM_PAINT = 0x000F;
constexpr std::uint32_t WM_CLOSE = 0x0010;
constexpr std::uint32_t WM_QUIT = 0x0012;
constexpr std::uint32_t WM_KEYDOWN = 0x0100;
constexpr std::uint32_t WM_KEYUP = 0x0101;
constexpr std::uint32_t WM_CHAR = 0x0102;
constexpr std::uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr std::uint32_t WM_SYSCOMMAND = 0x0112;
constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr std::uint32_t WM_RBUTTONUP = 0x0205;
// The wheel: the signed high word of the word parameter is the turn, in
// WHEEL_DELTA parts a notch, positive away from the user.
constexpr std::uint32_t WM_MOUSEWHEEL = 0x020A;
constexpr int WHEEL_DELTA = 120;

// System-command parameters that the window procedure refuses.
constexpr std::uintptr_t SC_SCREENSAVE = 0xF140;
constexpr std::uintptr_t SC_MONITORPOWER = 0xF170;

// Virtual-key codes.
constexpr std::uintptr_t VK_BACK = 0x08;
constexpr std::uintptr_t VK_TAB = 0x09;
constexpr std::uintptr_t VK_RETURN = 0x0D;
constexpr std::uintptr_t VK_SHIFT = 0x10;
constexpr std::uintptr_t VK_CONTROL = 0x11;
constexpr std::uintptr_t VK_MENU = 0x12;
constexpr std::uintptr_t VK_ESCAPE = 0x1B;
constexpr std::uintptr_t VK_SPACE = 0x20;
constexpr std::uintptr_t VK_LEFT = 0x25;
constexpr std::uintptr_t VK_UP = 0x26;
constexpr std::uintptr_t VK_RIGHT = 0x27;
constexpr std::uintptr_t VK_DOWN = 0x28;
constexpr std::uintptr_t VK_NUMPAD0 = 0x60;
constexpr std::uintptr_t VK_MULTIPLY = 0x6A;
constexpr std::uintptr_t VK_ADD = 0x6B;
constexpr std::uintptr_t VK_SUBTRACT = 0x6D;
constexpr std::uintptr_t VK_DECIMAL = 0x6E;
constexpr std::uintptr_t VK_DIVIDE = 0x6F;
constexpr std::uintptr_t VK_F1 = 0x70;  // 112
constexpr std::uintptr_t VK_F2 = 0x71;
constexpr std::uintptr_t VK_F3 = 0x72;
constexpr std::uintptr_t VK_F4 = 0x73;
constexpr std::uintptr_t VK_F5 = 0x74;
constexpr std::uintptr_t VK_OEM_PLUS = 0xBB;   // '=' / '+' on the main keyboard
constexpr std::uintptr_t VK_OEM_MINUS = 0xBD;  // '-' / '_' on the main keyboard

constexpr std::uint32_t PFD_DOUBLEBUFFER = 0x01;
constexpr std::uint32_t PFD_DRAW_TO_WINDOW = 0x04;
constexpr std::uint32_t PFD_SUPPORT_OPENGL = 0x20;
constexpr std::uint8_t PFD_TYPE_RGBA = 0;
constexpr std::uint8_t PFD_MAIN_PLANE = 0;

constexpr std::uint32_t CS_VREDRAW = 0x0001;
constexpr std::uint32_t CS_HREDRAW = 0x0002;
constexpr std::uint32_t CS_OWNDC = 0x0020;

constexpr std::uint32_t WS_EX_WINDOWEDGE = 0x00000100;
constexpr std::uint32_t WS_EX_APPWINDOW = 0x00040000;
constexpr std::uint32_t WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr std::uint32_t WS_CLIPCHILDREN = 0x02000000;
constexpr std::uint32_t WS_CLIPSIBLINGS = 0x04000000;
constexpr std::uint32_t WS_POPUP = 0x80000000;

constexpr unsigned MB_OK = 0x00;
constexpr unsigned MB_YESNO = 0x04;
constexpr unsigned MB_ICONSTOP = 0x10;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

#endif
