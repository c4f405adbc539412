// The Win32 backend on Wine's real queue and boxes: key releases held for the
// idle pass, a box's UTF-16 text and frozen owner; the file map's UTF-8 names.
// Where a real Windows 10 or 11 answers otherwise than Wine (display modes,
// the console, the power manager), stand-ins put in front of the system's
// calls at link time answer as Windows does.
#include <gtest/gtest.h>
#include <windows.h>
// clang-format off
#include <mmsystem.h>
// clang-format on

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
#include "render/render_state.h"

// ---------------------------------------------------------------------------
// Stand-ins. The program calls the system through these import pointers, so
// defining them here puts each stand-in in front of the system's function.
template <typename Call>
Call system_call(const wchar_t* dll, const char* name) {
    return reinterpret_cast<Call>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(dll), name)));
}

// Display modes as Windows 8 and later answer a program whose manifest names
// them: every depth under 32 bits per pixel refused. No mode is really set.
std::vector<std::string> modes_asked;  // "800x600x32" for a mode, "user's" for a restore
LONG WINAPI windows_10_display_settings(DEVMODEW* mode, DWORD) {
    if (mode == nullptr) {
        modes_asked.push_back("user's");
        return DISP_CHANGE_SUCCESSFUL;
    }
    modes_asked.push_back(std::to_string(mode->dmPelsWidth) + "x" +
                          std::to_string(mode->dmPelsHeight) + "x" +
                          std::to_string(mode->dmBitsPerPel));
    return mode->dmBitsPerPel < 32 ? DISP_CHANGE_BADMODE : DISP_CHANGE_SUCCESSFUL;
}

// The console as a Command Prompt shares it: a console window, two processes.
bool in_command_prompt = false;
bool console_let_go = false;
HWND WINAPI console_window() {
    if (in_command_prompt) return reinterpret_cast<HWND>(GetDesktopWindow());
    return system_call<HWND(WINAPI*)()>(L"kernel32.dll", "GetConsoleWindow")();
}
DWORD WINAPI console_processes(DWORD* list, DWORD size) {
    if (!in_command_prompt) {
        return system_call<DWORD(WINAPI*)(DWORD*, DWORD)>(L"kernel32.dll",
                                                          "GetConsoleProcessList")(list, size);
    }
    if (size >= 2) list[0] = 4, list[1] = GetCurrentProcessId();
    return 2;
}
BOOL WINAPI let_console_go() {
    console_let_go = true;
    return system_call<BOOL(WINAPI*)()>(L"kernel32.dll", "FreeConsole")();
}

// What reaches Windows's default handling of system commands.
std::vector<WPARAM> system_commands_passed_on;
LRESULT WINAPI default_handling(HWND window, UINT message, WPARAM w_param, LPARAM l_param) {
    if (message == WM_SYSCOMMAND) system_commands_passed_on.push_back(w_param);
    return system_call<WNDPROC>(L"user32.dll", "DefWindowProcA")(window, message, w_param,
                                                                  l_param);
}

// The power manager's and the system timer's requests, for the check at exit.
EXECUTION_STATE execution_state = ES_CONTINUOUS;  // the last state asked for
int fine_timer_requests = 0;                       // timeBeginPeriod(1) less timeEndPeriod(1)
EXECUTION_STATE WINAPI set_execution_state(EXECUTION_STATE state) {
    const EXECUTION_STATE before = execution_state;
    execution_state = state;
    return before;
}
MMRESULT WINAPI begin_timer_period(UINT period) {
    fine_timer_requests += period == 1;
    return system_call<MMRESULT(WINAPI*)(UINT)>(L"winmm.dll", "timeBeginPeriod")(period);
}
MMRESULT WINAPI end_timer_period(UINT period) {
    fine_timer_requests -= period == 1;
    return system_call<MMRESULT(WINAPI*)(UINT)>(L"winmm.dll", "timeEndPeriod")(period);
}

extern "C" {
void* __imp_ChangeDisplaySettingsW = reinterpret_cast<void*>(windows_10_display_settings);
void* __imp_GetConsoleWindow = reinterpret_cast<void*>(console_window);
void* __imp_GetConsoleProcessList = reinterpret_cast<void*>(console_processes);
void* __imp_FreeConsole = reinterpret_cast<void*>(let_console_go);
void* __imp_DefWindowProcA = reinterpret_cast<void*>(default_handling);
void* __imp_SetThreadExecutionState = reinterpret_cast<void*>(set_execution_state);
void* __imp_timeBeginPeriod = reinterpret_cast<void*>(begin_timer_period);
void* __imp_timeEndPeriod = reinterpret_cast<void*>(end_timer_period);
}

// Runs after the program's own exit handlers (registered before any of
// them): the display may sleep again and the system timer is back at its
// own rate, or the test program fails.
void check_released_at_exit() {
    if (execution_state != ES_CONTINUOUS || fine_timer_requests != 0) {
        std::fprintf(stderr, "FAILED at exit: execution state 0x%lx, %d fine timer requests left\n",
                     static_cast<unsigned long>(execution_state), fine_timer_requests);
        std::fflush(stderr);
        _exit(1);
    }
}
const int exit_check = std::atexit(check_released_at_exit);

namespace {

using Taken = std::vector<std::pair<std::uint32_t, WParam>>;
Taken handed_to_window;  // the input messages the window procedure was given

LResult record_input(WindowHandle window, std::uint32_t message, WParam w_param, LParam l_param) {
    if ((message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
        (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_CLOSE) {
        handed_to_window.push_back({message, w_param});
    }
    return message == WM_CLOSE ? 0 : def_window_proc(window, message, w_param, l_param);
}

// The input the window is handed as the loop takes and dispatches messages,
// up to and including its first idle pass (written as WM_NULL).
Taken take_until_idle() {
    const std::size_t before = handed_to_window.size();
    Message message;
    for (int passes = 0; passes < 1000 && peek_message(&message); ++passes) {
        dispatch_message(&message);
    }
    Taken taken(handed_to_window.begin() + before, handed_to_window.end());
    taken.push_back({WM_NULL, 0});
    return taken;
}

// The box's user, a timer in the box's own loop: once the box is up, reads it
// and whether its owner is enabled, then gives the owner a click, a letter and
// a close and presses OK at once (so the letter's character comes after OK).
HWND owner;
wchar_t box_text[512];
bool owner_enabled = true;
void CALLBACK act_in_box(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND box = FindWindowW(L"#32770", L"\uD0DC\uC591");
    if (box == nullptr || !IsWindowVisible(box)) return;
    KillTimer(nullptr, timer);
    GetDlgItemTextW(box, 0xFFFF, box_text, 512);
    owner_enabled = IsWindowEnabled(owner) != 0;
    const LPARAM a_key = 1 | LPARAM(MapVirtualKeyW('A', MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(owner, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageW(owner, WM_KEYDOWN, 'A', a_key);
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
    show_window(window);
    set_focus(window);
    take_until_idle();
    // Pressed and released before the loop ran idle: the release waits.
    PostMessageW(owner, WM_KEYDOWN, VK_F1, 0);
    PostMessageW(owner, WM_KEYUP, VK_F1, 0);
    EXPECT_EQ(take_until_idle(), (Taken{{WM_KEYDOWN, VK_F1}, {WM_NULL, 0}}));
    EXPECT_EQ(take_until_idle(), (Taken{{WM_KEYUP, VK_F1}, {WM_NULL, 0}}));

    // Queued before a box: a second click, a press, a move; and a release, not
    // held as its key was not pressed in the same frame.
    handed_to_window.clear();
    PostMessageW(owner, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(owner, WM_KEYDOWN, VK_F2, 0);
    PostMessageW(owner, WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
    PostMessageW(owner, WM_KEYUP, VK_F3, 0);
    ASSERT_NE(SetTimer(nullptr, 0, 10, act_in_box), 0u);
    EXPECT_EQ(message_box(window, "반지름(Km) : 695,500\n자전주기 : 25.4일", "태양",
                          MB_OK | MB_ICONINFORMATION),
              IDOK);
    EXPECT_STREQ(box_text,
                 L"\uBC18\uC9C0\uB984(Km) : 695,500\n\uC790\uC804\uC8FC\uAE30 : 25.4\uC77C");
    EXPECT_FALSE(owner_enabled);
    // The release is handed out at once, and nothing else reaches the window.
    EXPECT_EQ(take_until_idle(), (Taken{{WM_KEYUP, VK_F3}, {WM_NULL, 0}}));
    EXPECT_EQ(handed_to_window, (Taken{{WM_KEYUP, VK_F3}}));
}

TEST(FileMapOnWindows, OpensUtf8NamesInAnyCaseAndRefusesMissingEmptyAndFolders) {
    namespace fs = std::filesystem;
    std::ofstream(fs::path(L"\uC9C0\uAD6C.bmp"), std::ios::binary) << "BM6";
    std::ofstream(fs::path(L"empty.bmp"));
    fs::create_directory("sub.bmp");
    for (const char* name : {"지구.bmp", ".\\지구.BMP"}) {
        FileMap map{};
        ASSERT_TRUE(open_file_map(name, &map)) << name;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(map.bytes), map.size), "BM6");
        close_file_map(&map);
    }
    FileMap map{};
    for (const char* name : {"Sun.bmp", "empty.bmp", "sub.bmp"}) {
        EXPECT_FALSE(open_file_map(name, &map)) << name;
    }
    for (const wchar_t* name : {L"\uC9C0\uAD6C.bmp", L"empty.bmp", L"sub.bmp"}) fs::remove(name);
}

}  // namespace

namespace {

// Any box that opens is recorded by its caption and closed with No (or OK),
// so that a question the test does not expect cannot hold it up.
std::vector<std::string> boxes_seen;
BOOL CALLBACK close_any_box(HWND window, LPARAM) {
    char caption[64] = {};
    GetWindowTextA(window, caption, sizeof caption);
    char class_name[8] = {};
    GetClassNameA(window, class_name, sizeof class_name);
    if (std::string(class_name) == "#32770" && IsWindowVisible(window) &&
        (boxes_seen.empty() || boxes_seen.back() != caption)) {
        boxes_seen.push_back(caption);
        const int button = GetDlgItem(window, IDNO) != nullptr ? IDNO : IDOK;
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    }
    return TRUE;
}
void CALLBACK watch_boxes(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), close_any_box, 0);
}

// The cursor's display count: below 0 it is hidden.
int cursor_count() {
    ShowCursor(TRUE);
    return ShowCursor(FALSE);
}

HWND main_hwnd() { return reinterpret_cast<HWND>(window_handle); }

// The program's full screen on a Windows 10 or 11 that refuses every depth
// under 32 bits: F1's window opens full screen without a question, the
// cursor hidden; it makes way for another program and takes full screen
// again; the user's mode and the cursor come back when it closes.
TEST(Win32FullScreen, AsksFor32BitsMakesWayForOtherProgramsAndGivesTheDesktopBack) {
    ASSERT_TRUE(SetCurrentDirectoryW(L"Z:" ORRERY_TEXTURE_DIR));
    ASSERT_NE(SetTimer(nullptr, 0, 50, watch_boxes), 0u);
    const int cursor_before = cursor_count();
    ASSERT_TRUE(open_main_window(window_title, 800, 600, 16, true));
    EXPECT_EQ(boxes_seen, std::vector<std::string>{});
    EXPECT_EQ(modes_asked, std::vector<std::string>{"800x600x32"});
    EXPECT_EQ(cursor_count(), cursor_before - 1);
    // The program's icon, not Windows's.
    const auto icon = reinterpret_cast<HICON>(GetClassLongPtrW(main_hwnd(), GCLP_HICON));
    EXPECT_EQ(icon, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)));
    EXPECT_NE(icon, nullptr);

    // Another program in front, then this one again; and the session's end.
    modes_asked.clear();
    SendMessageW(main_hwnd(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_EQ(modes_asked, std::vector<std::string>{"user's"});
    EXPECT_TRUE(IsIconic(main_hwnd()));
    SendMessageW(main_hwnd(), WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(modes_asked, (std::vector<std::string>{"user's", "800x600x32"}));
    EXPECT_FALSE(IsIconic(main_hwnd()));
    SendMessageW(main_hwnd(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(modes_asked, (std::vector<std::string>{"user's", "800x600x32", "user's"}));
    SendMessageW(main_hwnd(), WM_ACTIVATEAPP, TRUE, 0);

    // The screen saver and the display's power saving are refused; other
    // system commands go on to Windows.
    system_commands_passed_on.clear();
    for (WPARAM command : {WPARAM{SC_SCREENSAVE}, WPARAM{SC_MONITORPOWER}, WPARAM{0xF1F0}}) {
        SendMessageA(main_hwnd(), WM_SYSCOMMAND, command, 0);
    }
    EXPECT_EQ(system_commands_passed_on, std::vector<WPARAM>{0xF1F0});

    // Wine's display gives no refresh rate and its swaps do not wait: the
    // frames are paced at 60 a second, so 31 swaps take at least 30 periods
    // of 16.7 ms (0.5 s). Unpaced, this empty frame swaps in a few ms.
    const auto began = std::chrono::steady_clock::now();
    for (int swap = 0; swap < 31; ++swap) swap_buffers(device_context);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - began;
    EXPECT_GE(took.count(), 0.45);

    modes_asked.clear();
    close_main_window();
    EXPECT_EQ(modes_asked, std::vector<std::string>{"user's"});
    EXPECT_EQ(cursor_count(), cursor_before);
    EXPECT_EQ(boxes_seen, std::vector<std::string>{});
}

// Kept on while the program runs; let go at its end (checked at exit).
TEST(Win32Display, IsKeptOnWhileTheProgramRuns) {
    disable_screen_saver();
    EXPECT_EQ(execution_state, static_cast<EXECUTION_STATE>(ES_CONTINUOUS | ES_DISPLAY_REQUIRED));
}

// Started from a Command Prompt, the program shares its console and keeps it.
TEST(Win32Console, StartedFromACommandPromptKeepsItsConsole) {
    in_command_prompt = true;
    get_module_handle();
    in_command_prompt = false;
    EXPECT_FALSE(console_let_go);
}

// The working directory comes first: one that holds pictures is kept, though
// the program's own folder holds some too.
TEST(Win32Pictures, AreReadFromAWorkingDirectoryThatHoldsThemBeforeTheProgramsFolder) {
    namespace fs = std::filesystem;
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    const fs::path beside = fs::path(program).parent_path() / L"beside-the-program.bmp";
    const fs::path here = fs::temp_directory_path() / L"orrery-pictures-here";
    fs::create_directories(here);
    std::ofstream(beside) << "BM";
    std::ofstream(here / L"Sun.bmp") << "BM";
    fs::current_path(here);
    get_module_handle();
    EXPECT_TRUE(fs::equivalent(fs::current_path(), here)) << fs::current_path();
    fs::current_path(fs::temp_directory_path());
    fs::remove(beside);
    fs::remove_all(here);
}

}  // namespace
