// The console: Ctrl+C, Ctrl+Break and closing the console window end the
// program the usual way, by asking its window to close; and a console that
// Windows made just for this program (started from Explorer or the Start
// menu) is let go at once, so that no empty console window stays open.
#include "platform/win32/win32.h"

// ---------------------------------------------------------------------------
// Console state. close_wanted is written by the handler (the console's own
// thread) and read on the main thread; main_thread and started are written
// once by start_console on the main thread.
static volatile LONG close_wanted = 0;
static DWORD main_thread = 0;
static bool started = false;

bool close_requested() { return close_wanted != 0; }

// An open box of the main thread is closed as its No or OK button would
// close it, so that the loop can take the close request.
static BOOL CALLBACK close_box(HWND window, LPARAM) {
    char class_name[8] = {};
    GetClassNameA(window, class_name, sizeof class_name);
    if (lstrcmpA(class_name, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    const int button = GetDlgItem(window, IDNO) != nullptr ? IDNO : IDOK;
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    return TRUE;
}

static BOOL WINAPI on_console_event(DWORD event) {
    InterlockedExchange(&close_wanted, 1);
    EnumThreadWindows(main_thread, close_box, 0);
    PostThreadMessageA(main_thread, WM_NULL, 0, 0);
    // Closing the console ends the process as soon as this handler returns;
    // it waits instead, so that the program closes its window and returns from
    // main (with status 0) first. (Log-off and shut-down never come here: a
    // program with windows hears of them through WM_QUERYENDSESSION and
    // WM_ENDSESSION, which windows.cpp handles.)
    if (event == CTRL_CLOSE_EVENT) Sleep(INFINITE);
    return TRUE;
}

void start_console() {
    if (started) return;
    started = true;
    main_thread = GetCurrentThreadId();
    // The only process on its console, with a console window: Windows made
    // that console for this program alone, so nobody reads it.
    DWORD processes[2];
    if (GetConsoleWindow() != nullptr && GetConsoleProcessList(processes, 2) == 1) FreeConsole();
    SetConsoleCtrlHandler(on_console_event, TRUE);
}
