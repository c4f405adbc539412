// The display mode for full screen (given back to the user while another
// program is in front), the mouse cursor, and the display kept on.
#include <cstdlib>

#include "platform/win32/win32.h"

// ---------------------------------------------------------------------------
// Display state. full_screen_mode and mode_held are written by
// change_display_mode and restore_display_mode; mode_lent by
// give_desktop_back and take_full_screen_again (the window's activation);
// all are read by those. display_kept_on is written once by
// disable_screen_saver.
static DEVMODEW full_screen_mode{};
static bool mode_held = false;  // the program switched the display and has not restored it
static bool mode_lent = false;  // ... but the user's mode is back while another program is in front
static bool display_kept_on = false;

// Windows 8 and later refuse every mode under 32 bits per pixel to a program
// whose manifest names them (ours names Windows 10 and 11): they emulate 8-
// and 16-bit modes only for old programs. A 16-bit request would therefore
// fail on every current machine and ask the user to stay windowed; every
// display of these systems offers its modes at 32 bits, so that is the depth
// asked for. (The picture's own depth comes from the pixel format, not from
// the display mode.)
static constexpr int least_bits_per_pixel = 32;

bool change_display_mode(int width, int height, int bits_per_pixel) {
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmBitsPerPel =
        static_cast<DWORD>(bits_per_pixel < least_bits_per_pixel ? least_bits_per_pixel
                                                                 : bits_per_pixel);
    if (ChangeDisplaySettingsW(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) return false;
    full_screen_mode = mode;
    mode_held = true;
    mode_lent = false;
    reread_refresh_period();
    return true;
}

void restore_display_mode() {
    ChangeDisplaySettingsW(nullptr, 0);
    mode_held = false;
    mode_lent = false;
    reread_refresh_period();
}

// Alt+Tab, the Windows key or the lock screen while in full screen: the
// user's other programs get the desktop in its own mode, not squeezed into
// 800x600 (Windows does not do this for a program that changed the mode);
// back in front, the program takes its full-screen mode again.
bool give_desktop_back() {
    if (!mode_held || mode_lent) return false;
    ChangeDisplaySettingsW(nullptr, 0);
    mode_lent = true;
    reread_refresh_period();
    return true;
}

bool take_full_screen_again() {
    if (!mode_held || !mode_lent) return false;
    ChangeDisplaySettingsW(&full_screen_mode, CDS_FULLSCREEN);
    mode_lent = false;
    reread_refresh_period();
    return true;
}

void show_cursor(bool visible) { ShowCursor(visible ? TRUE : FALSE); }

// The display may sleep again once the program has ended.
static void let_display_sleep() { SetThreadExecutionState(ES_CONTINUOUS); }

// Windows asks the foreground window before it starts the screen saver
// (WM_SYSCOMMAND with SC_SCREENSAVE or SC_MONITORPOWER, which the window
// procedure refuses); but current Windows turns the display off through its
// power manager, which asks nobody: a program that shows something to watch
// tells it the display is needed, until the program ends.
void disable_screen_saver() {
    if (display_kept_on) return;
    display_kept_on = SetThreadExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED) != 0;
    if (display_kept_on) std::atexit(let_display_sleep);
}
