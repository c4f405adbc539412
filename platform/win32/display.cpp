// The display mode for full screen, the mouse cursor and the screen saver.
#include "platform/win32/win32.h"

bool change_display_mode(int width, int height, int bits_per_pixel) {
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmBitsPerPel = static_cast<DWORD>(bits_per_pixel);
    return ChangeDisplaySettingsW(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

void restore_display_mode() {
    ChangeDisplaySettingsW(nullptr, 0);
    reread_refresh_period();
}

void show_cursor(bool visible) { ShowCursor(visible ? TRUE : FALSE); }

// Windows asks the foreground window before it starts the screen saver or
// powers the display down (WM_SYSCOMMAND with SC_SCREENSAVE or
// SC_MONITORPOWER), and the window procedure refuses: nothing to do here.
void disable_screen_saver() {}
