// The Win32 backend on Wine's real message queue and boxes: key releases held
// for the idle pass, a box's UTF-16 text and frozen owner; and the file map
// on UTF-8 names.
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

bool is_input(std::uint32_t message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_CLOSE;
}

LResult record_input(WindowHandle window, std::uint32_t message, WParam w_param, LParam l_param) {
    if (is_input(message)) handed_to_window.push_back({message, w_param});
    return message == WM_CLOSE ? 0 : def_window_proc(window, message, w_param, l_param);
}

// The input messages the loop takes and dispatches next, up to and including
// the first idle pass (written as WM_NULL).
Taken take_until_idle() {
    Taken taken;
    Message message;
    for (int passes = 0; passes < 1000 && peek_message(&message); ++passes) {
        if (is_input(message.message)) taken.push_back({message.message, message.w_param});
        dispatch_message(&message);
    }
    taken.push_back({WM_NULL, 0});
    return taken;
}

class Win32Layer : public testing::Test {
   protected:
    void SetUp() override {
        ASSERT_TRUE(register_class({CS_OWNDC, record_input, instance_, "LayerTest"}));
        window_ = create_window(WS_EX_APPWINDOW, "LayerTest", "layer test", WS_OVERLAPPEDWINDOW, 0,
                                0, 320, 240, instance_);
        ASSERT_NE(window_, nullptr);
        show_window(window_);
        set_focus(window_);
        take_until_idle();
        handed_to_window.clear();
    }
    void TearDown() override {
        destroy_window(window_);
        unregister_class("LayerTest", instance_);
    }
    void post(UINT message, WPARAM w_param, LPARAM l_param = 0) {
        PostMessageW(hwnd(), message, w_param, l_param);
    }
    HWND hwnd() const { return reinterpret_cast<HWND>(window_); }
    InstanceHandle instance_ = get_module_handle();
    WindowHandle window_ = nullptr;
};

TEST_F(Win32Layer, AKeyTappedWithinOneFrameIsSeenByAnIdlePass) {
    // Pressed and released before the loop ran idle: the release waits.
    post(WM_KEYDOWN, VK_F1);
    post(WM_KEYUP, VK_F1);
    EXPECT_EQ(take_until_idle(), (Taken{{WM_KEYDOWN, VK_F1}, {WM_NULL, 0}}));
    EXPECT_EQ(take_until_idle(), (Taken{{WM_KEYUP, VK_F1}, {WM_NULL, 0}}));
    // Pressed before an idle pass, released after it: nothing is held.
    post(WM_KEYDOWN, VK_F2);
    EXPECT_EQ(take_until_idle(), (Taken{{WM_KEYDOWN, VK_F2}, {WM_NULL, 0}}));
    post(WM_KEYUP, VK_F2);
    post(WM_KEYDOWN, VK_F3);
    EXPECT_EQ(take_until_idle(), (Taken{{WM_KEYUP, VK_F2}, {WM_KEYDOWN, VK_F3}, {WM_NULL, 0}}));
}

// The box's user, a timer in the box's own loop: once the box is up, reads it
// and whether its owner is enabled, then gives the owner a click, a letter and
// a close and presses OK at once (so the letter's character comes after OK).
wchar_t box_text[512];
bool owner_enabled = true;
HWND box_owner = nullptr;
void CALLBACK act_in_box(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND box = FindWindowW(L"#32770", L"\uD0DC\uC591");
    if (box == nullptr || !IsWindowVisible(box)) return;
    KillTimer(nullptr, timer);
    GetDlgItemTextW(box, 0xFFFF, box_text, 512);
    owner_enabled = IsWindowEnabled(box_owner) != 0;
    const LPARAM a_key = 1 | LPARAM(MapVirtualKeyW('A', MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(box_owner, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageW(box_owner, WM_KEYDOWN, 'A', a_key);
    PostMessageW(box_owner, WM_CLOSE, 0, 0);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST_F(Win32Layer, ABoxShowsKoreanAndItsFrozenOwnerActsOnNoInputGivenBeforeOrDuring) {
    // Queued before the box: a second click, a press, a move; and a release.
    post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    post(WM_KEYDOWN, VK_F2);
    post(WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
    post(WM_KEYUP, VK_F3);
    box_owner = hwnd();
    ASSERT_NE(SetTimer(nullptr, 0, 10, act_in_box), 0u);
    EXPECT_EQ(message_box(window_, "반지름(Km) : 695,500\n자전주기 : 25.4일", "태양",
                          MB_OK | MB_ICONINFORMATION),
              IDOK);
    EXPECT_STREQ(box_text,
                 L"\uBC18\uC9C0\uB984(Km) : 695,500\n\uC790\uC804\uC8FC\uAE30 : 25.4\uC77C");
    EXPECT_FALSE(owner_enabled);
    // The release is handed out, and nothing else reaches the window.
    EXPECT_EQ(take_until_idle(), (Taken{{WM_KEYUP, VK_F3}, {WM_NULL, 0}}));
    EXPECT_EQ(handed_to_window, (Taken{{WM_KEYUP, VK_F3}}));
}

// Names in Hangul and in any letter case open; a missing name, an empty file
// and a folder do not.
TEST(FileMapInAKoreanFolder, OpensUtf8NamesInAnyCaseAndRefusesMissingEmptyAndFolders) {
    namespace fs = std::filesystem;
    const fs::path folder =
        fs::temp_directory_path() / (L"\uD589\uC131-" + std::to_wstring(GetCurrentProcessId()));
    ASSERT_TRUE(fs::create_directory(folder));
    fs::current_path(folder);
    std::ofstream(fs::path(L"\uC9C0\uAD6C.bmp"), std::ios::binary) << "BM6";
    std::ofstream(fs::path(L"empty.bmp"));
    fs::create_directory("sub.bmp");
    for (const char* name : {"지구.bmp", ".\\지구.BMP"}) {
        FileMap map{};
        ASSERT_TRUE(open_file_map(name, &map)) << name;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(map.bytes), map.size), "BM6");
        close_file_map(&map);
    }
    for (const char* name : {"Sun.bmp", "empty.bmp", "sub.bmp"}) {
        FileMap map{};
        EXPECT_FALSE(open_file_map(name, &map)) << name;
    }
    fs::current_path(folder.parent_path());
    fs::remove_all(folder);
}

}  // namespace
