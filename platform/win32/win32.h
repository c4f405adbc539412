// What the Win32 backend's modules share: the conversions between the
// interface's opaque handles and the Windows API's own, and the box-time and
// close-request state that the queue, the boxes and the console handler meet
// in. Included by platform/win32/*.cpp only.
#pragma once

#include <windows.h>

#include <string>

#include "platform/window_system.h"

inline HWND to_hwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
inline WindowHandle from_hwnd(HWND window) { return reinterpret_cast<WindowHandle>(window); }
inline HDC to_hdc(DeviceContextHandle dc) { return reinterpret_cast<HDC>(dc); }
inline HGLRC to_hglrc(RenderContextHandle rc) { return reinterpret_cast<HGLRC>(rc); }

// UTF-8 to UTF-16 for the wide API calls; an empty string for null
// (box_state.cpp).
std::wstring widen(const char* text);

// The application's window procedure, as registered (windows.cpp).
WindowProc application_proc();
// The top-level window of the class that was made last and still exists, or
// null (windows.cpp): where a close request from the console goes.
HWND newest_window();

// A box is open (box_state.cpp): the window procedure drops the input that
// a frozen window must not act on afterwards (message_queue.cpp).
bool box_open();
void note_box_open(bool open);
// Takes the queued input that a frozen window drops off the thread's queue
// (message_queue.cpp); called as a box opens.
void drop_queued_input();

// The console asked the program to end (console.cpp): set from the console's
// own handler thread, read by the queue and the boxes on the main thread.
bool close_requested();
// Installs the console handler and lets go of a console that only this
// program uses (console.cpp). Safe to call more than once.
void start_console();

// The refresh period must be read again (gl_context.cpp): a new context, or
// the display changed.
void reread_refresh_period();

// Full screen while another program is in front (display.cpp): the user's
// mode back, and the full-screen one again. Each returns whether it changed
// the mode (only while the program holds a full-screen mode).
bool give_desktop_back();
bool take_full_screen_again();

// The displays' scale (dpi.cpp): the primary display's at sign-in, the
// window's own display's now, the outer rectangle for a client rectangle at a
// scale, and a length at 96 dots per inch scaled to a scale.
UINT system_dpi();
UINT window_dpi(HWND window);
bool outer_rect_for_dpi(RECT* rect, DWORD style, DWORD ex_style, UINT dpi);
int scaled(int length, UINT dpi);

// Works in the program's own folder when the working directory holds no
// pictures and that folder does (program_folder.cpp).
void find_pictures_beside_program();
