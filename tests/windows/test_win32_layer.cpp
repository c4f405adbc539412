// The Win32 backend on Wine's real queue and boxes: key releases held for the
// idle pass, a box's UTF-16 text and frozen owner; the file map's UTF-8 names.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "image/file_map.h"
#include "platform/window_system.h"

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
