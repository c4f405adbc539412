// The Win32 backend on Wine's real queue and boxes, the file map's UTF-8 names, full screen, the
// display kept on and the start, with stand-ins for what only a real Windows 10 or 11 answers.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/main_loop.h"
#include "app/main_window.h"
#include "image/file_map.h"
#include "platform/window_system.h"

// Stand-ins for the system's import pointers (one calling convention on x64), answering as
// Windows 10 or 11 does or recording what the program asks.
const auto stand_in = [](auto* call) { return reinterpret_cast<void*>(call); };
using Mode = std::vector<DWORD>;  // width, height and bits per pixel; {} for the user's mode
std::vector<Mode> modes_asked;
bool console_let_go = false;  // of a console shared with a Command Prompt: a window, 2 processes
std::vector<WPARAM> system_commands_passed_on;    // to Windows's default handling
EXECUTION_STATE execution_state = ES_CONTINUOUS;  // the last state asked of the power manager
int timer_1ms = 0;                                // timeBeginPeriod(1) less timeEndPeriod(1)
extern "C" {
void* __imp_ChangeDisplaySettingsW = stand_in(+[](DEVMODEW* m, DWORD) -> LONG {
    modes_asked.push_back(m ? Mode{m->dmPelsWidth, m->dmPelsHeight, m->dmBitsPerPel} : Mode{});
    return m != nullptr && m->dmBitsPerPel < 32 ? DISP_CHANGE_BADMODE : 0;  // as Windows 8 on
});
void* __imp_GetConsoleWindow = stand_in(+[] { return GetDesktopWindow(); });
void* __imp_GetConsoleProcessList = stand_in(+[](DWORD*, DWORD) -> DWORD { return 2; });
void* __imp_FreeConsole = stand_in(+[]() -> BOOL { return console_let_go = true; });
void* __imp_DefWindowProcA = stand_in(+[](HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_SYSCOMMAND) system_commands_passed_on.push_back(w);
    static const auto real = reinterpret_cast<WNDPROC>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "DefWindowProcA")));
    return real(window, message, w, l);
});
void* __imp_SetThreadExecutionState =
    stand_in(+[](EXECUTION_STATE state) { return std::exchange(execution_state, state); });
void* __imp_timeBeginPeriod = stand_in(+[](UINT p) -> UINT { return timer_1ms += p == 1, 0; });
void* __imp_timeEndPeriod = stand_in(+[](UINT p) -> UINT { return timer_1ms -= p == 1, 0; });
// The program's boxes (wrapped at link time), recorded and answered No or OK; the layer's test
// shows its box through the real one.
std::vector<std::string> boxes_seen;
int __real_message_box(WindowHandle owner, const char* text, const char* caption, unsigned flags);
int __wrap_message_box(WindowHandle, const char*, const char* caption, unsigned flags) {
    boxes_seen.push_back(caption);
    return (flags & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
}
}
// After the program's exit handlers (registered before them): the display may sleep again and
// the system timer is back at its own rate.
const int exit_check = std::atexit([] {
    if (execution_state == ES_CONTINUOUS && timer_1ms == 0) return;
    std::fprintf(stderr, "FAILED at exit: the display kept on or the timer at 1 ms\n"), _exit(1);
});
using Taken = std::vector<std::pair<std::uint32_t, WParam>>;
Taken handed_to_window;  // the input messages the window procedure was given
LResult record_input(WindowHandle window, std::uint32_t message, WParam w_param, LParam l_param) {
    if ((message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
        (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_CLOSE)
        handed_to_window.push_back({message, w_param});
    return message == WM_CLOSE ? 0 : def_window_proc(window, message, w_param, l_param);
}
// The input handed to the window up to the loop's first idle pass.
Taken take_until_idle() {
    const std::size_t before = handed_to_window.size();
    Message message;
    for (int passes = 0; passes < 1000 && peek_message(&message); ++passes)
        dispatch_message(&message);
    return Taken(handed_to_window.begin() + before, handed_to_window.end());
}
// The box's user, a timer in its loop: reads the box and whether its owner is enabled, gives the
// owner a click, a letter, a wheel notch and a close, and presses OK (the letter typed after).
HWND owner;
wchar_t box_text[512];
bool owner_enabled = true;
void CALLBACK act_in_box(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND box = FindWindowW(L"#32770", L"\uD0DC\uC591");
    if (box == nullptr || !IsWindowVisible(box)) return;
    KillTimer(nullptr, timer), GetDlgItemTextW(box, 0xFFFF, box_text, 512);
    owner_enabled = IsWindowEnabled(owner) != 0;
    const LPARAM a_key = 1 | LPARAM(MapVirtualKeyW('A', MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(owner, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageW(owner, WM_KEYDOWN, 'A', a_key);
    PostMessageW(owner, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(10, 10));
    PostMessageW(owner, WM_CLOSE, 0, 0);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST(Win32Layer, HoldsAKeyTappedWithinAFrameForTheIdlePassAndABoxShowsKoreanAndFreezesItsOwner) {
    const InstanceHandle instance = get_module_handle();
    ASSERT_TRUE(register_class({CS_OWNDC, record_input, instance, "LayerTest"}));
    const WindowHandle window = create_window(WS_EX_APPWINDOW, "LayerTest", "layer test",
                                              WS_OVERLAPPEDWINDOW, 0, 0, 320, 240, instance);
    ASSERT_NE(window, nullptr);
    owner = reinterpret_cast<HWND>(window);
    take_until_idle();
    // Pressed and released before the loop ran idle: the release waits.
    PostMessageW(owner, WM_KEYDOWN, VK_F1, 0), PostMessageW(owner, WM_KEYUP, VK_F1, 0);
    EXPECT_EQ(take_until_idle(), (Taken{{WM_KEYDOWN, VK_F1}}));
    EXPECT_EQ(take_until_idle(), (Taken{{WM_KEYUP, VK_F1}}));
    // Queued before a box: a second click, a press, a move, a wheel notch; and a release, not
    // held as its key was not pressed in the same frame.
    handed_to_window.clear(), PostMessageW(owner, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(owner, WM_KEYDOWN, VK_F2, 0);
    PostMessageW(owner, WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
    PostMessageW(owner, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(6, 6));
    PostMessageW(owner, WM_KEYUP, VK_F3, 0);
    ASSERT_NE(SetTimer(nullptr, 0, 10, act_in_box), 0u);
    EXPECT_EQ(__real_message_box(window, "자전주기 : 25.4일", "태양", MB_OK), IDOK);
    EXPECT_STREQ(box_text, L"\uC790\uC804\uC8FC\uAE30 : 25.4\uC77C");
    EXPECT_FALSE(owner_enabled);
    // The release is handed out after the box, at once, and nothing else reaches the window.
    EXPECT_EQ(take_until_idle(), (Taken{{WM_KEYUP, VK_F3}}));
    EXPECT_EQ(handed_to_window, (Taken{{WM_KEYUP, VK_F3}}));
}

// Started from a Command Prompt in a folder with pictures, the program keeps the console and that
// folder at its first call into the layer, though its own holds pictures too. The file map opens
// UTF-8 names in any letter case and refuses missing files, empty ones and folders.
TEST(Win32Start, KeepsACommandPromptsConsoleAndAWorkingDirectoryWithPicturesAndMapsUtf8Names) {
    namespace fs = std::filesystem;
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    const fs::path beside = fs::path(program).parent_path() / L"beside-the-program.bmp";
    const fs::path here = fs::temp_directory_path() / L"orrery-pictures-here";
    fs::create_directories(here / L"sub.bmp");
    std::ofstream(beside) << "BM";
    std::ofstream(here / L"\uC9C0\uAD6C.bmp", std::ios::binary) << "BM6";
    std::ofstream(here / L"empty.bmp");
    fs::current_path(here), get_module_handle();
    EXPECT_FALSE(console_let_go);
    EXPECT_TRUE(fs::equivalent(fs::current_path(), here)) << fs::current_path();
    fs::remove(beside);
    FileMap map{};
    ASSERT_TRUE(open_file_map(".\\지구.BMP", &map));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(map.bytes), map.size), "BM6");
    close_file_map(&map);
    for (const char* name : {"Sun.bmp", "empty.bmp", "sub.bmp"})
        EXPECT_FALSE(open_file_map(name, &map)) << name;
}

int cursor_count() { return ShowCursor(TRUE), ShowCursor(FALSE); }  // below 0: hidden
HWND main_hwnd() { return reinterpret_cast<HWND>(window_handle); }
// F1's window where depths under 32 bits are refused: full screen without a question, no cursor,
// the program's icon; it makes way for another program and comes back; the screen saver refused,
// the display kept on (let go: checked at exit), frames paced; closed, the user's mode and cursor.
TEST(Win32FullScreen, AsksFor32BitsMakesWayForOtherProgramsAndGivesTheDesktopBack) {
    ASSERT_TRUE(SetCurrentDirectoryW(L"Z:" ORRERY_TEXTURE_DIR));
    const int cursor_before = cursor_count();
    ASSERT_TRUE(open_main_window(window_title, 800, 600, 16, true));
    EXPECT_EQ(modes_asked, (std::vector<Mode>{{800, 600, 32}}));
    EXPECT_EQ(cursor_count(), cursor_before - 1);
    EXPECT_EQ(reinterpret_cast<HICON>(GetClassLongPtrW(main_hwnd(), GCLP_HICON)),
              LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)));
    modes_asked.clear();
    SendMessageW(main_hwnd(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_TRUE(IsIconic(main_hwnd()));
    SendMessageW(main_hwnd(), WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_FALSE(IsIconic(main_hwnd()));
    SendMessageW(main_hwnd(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(modes_asked, (std::vector<Mode>{{}, {800, 600, 32}, {}}));
    SendMessageW(main_hwnd(), WM_ACTIVATEAPP, TRUE, 0);
    for (WPARAM command : {WPARAM{SC_SCREENSAVE}, WPARAM{SC_MONITORPOWER}, WPARAM{0xF1F0}})
        SendMessageA(main_hwnd(), WM_SYSCOMMAND, command, 0);
    EXPECT_EQ(system_commands_passed_on, std::vector<WPARAM>{0xF1F0});
    disable_screen_saver();
    EXPECT_EQ(execution_state, static_cast<EXECUTION_STATE>(ES_CONTINUOUS | ES_DISPLAY_REQUIRED));
    // Wine gives no refresh rate, and its swaps do not wait: paced at 60 Hz, 31 swaps take 30
    // periods of 16.7 ms (0.5 s); unpaced, a few ms each.
    const auto began = std::chrono::steady_clock::now();
    for (int swap = 0; swap < 31; ++swap) swap_buffers(device_context);
    EXPECT_GE(std::chrono::steady_clock::now() - began, std::chrono::milliseconds(450));
    modes_asked.clear(), close_main_window();
    EXPECT_EQ(modes_asked, std::vector<Mode>{{}});
    EXPECT_EQ(cursor_count(), cursor_before);
    EXPECT_EQ(boxes_seen, std::vector<std::string>{});
}
