// The Win32 backend on Wine's real message queue: key releases held for the
// idle pass, translation, the frozen window while a box is open and the
// box's UTF-16 text. (Ctrl+C comes from a terminal: the end-to-end test.)
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/window_system.h"

namespace {

// What the window procedure was given, input messages only.
std::vector<Message> handed_to_window;

bool is_input(std::uint32_t message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_CLOSE;
}

LResult record_input(WindowHandle window, std::uint32_t message, WParam w_param, LParam l_param) {
    if (is_input(message)) handed_to_window.push_back({window, message, w_param, l_param});
    if (message == WM_CLOSE) return 0;
    return def_window_proc(window, message, w_param, l_param);
}

// The input messages the loop takes next, up to and including the first idle
// pass (written as WM_NULL); the rest are handed out as the loop would.
std::vector<std::pair<std::uint32_t, WParam>> take_until_idle() {
    std::vector<std::pair<std::uint32_t, WParam>> taken;
    Message message;
    for (int passes = 0; passes < 1000; ++passes) {
        if (!peek_message(&message)) {
            taken.push_back({WM_NULL, 0});
            break;
        }
        if (is_input(message.message)) taken.push_back({message.message, message.w_param});
        dispatch_message(&message);
    }
    return taken;
}

class Win32Layer : public testing::Test {
   protected:
    void SetUp() override {
        instance_ = get_module_handle();
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
        PostMessageA(reinterpret_cast<HWND>(window_), message, w_param, l_param);
    }
    InstanceHandle instance_ = nullptr;
    WindowHandle window_ = nullptr;
};

TEST_F(Win32Layer, AKeyTappedWithinOneFrameIsSeenByAnIdlePass) {
    // Pressed and released before the loop ran idle: the release waits.
    post(WM_KEYDOWN, VK_F1);
    post(WM_KEYUP, VK_F1);
    using Taken = std::vector<std::pair<std::uint32_t, WParam>>;
    EXPECT_EQ(take_until_idle(), (Taken{{WM_KEYDOWN, VK_F1}, {WM_NULL, 0}}));
    EXPECT_EQ(take_until_idle(), (Taken{{WM_KEYUP, VK_F1}, {WM_NULL, 0}}));
    // Pressed before an idle pass, released after it: nothing is held.
    post(WM_KEYDOWN, VK_F2);
    EXPECT_EQ(take_until_idle(), (Taken{{WM_KEYDOWN, VK_F2}, {WM_NULL, 0}}));
    post(WM_KEYUP, VK_F2);
    post(WM_KEYDOWN, VK_F3);
    EXPECT_EQ(take_until_idle(), (Taken{{WM_KEYUP, VK_F2}, {WM_KEYDOWN, VK_F3}, {WM_NULL, 0}}));
}

TEST_F(Win32Layer, TranslationTurnsLetterKeysIntoCharactersAndLeavesFunctionKeys) {
    const LPARAM a_key = 1 | static_cast<LPARAM>(MapVirtualKeyA('A', MAPVK_VK_TO_VSC)) << 16;
    post(WM_KEYDOWN, 'A', a_key);
    Message message;
    ASSERT_TRUE(peek_message(&message));
    translate_message(&message);
    ASSERT_TRUE(peek_message(&message));
    EXPECT_EQ(message.message, static_cast<std::uint32_t>(WM_CHAR));
    EXPECT_EQ(message.w_param, WParam{'a'});

    const LPARAM f1_key = 1 | static_cast<LPARAM>(MapVirtualKeyA(VK_F1, MAPVK_VK_TO_VSC)) << 16;
    post(WM_KEYDOWN, VK_F1, f1_key);
    ASSERT_TRUE(peek_message(&message));
    translate_message(&message);
    EXPECT_FALSE(peek_message(&message));
}

// Waits for the box captioned `caption`, reads it, gives its owner a click
// and a key (which must come to nothing) and presses `button`.
struct BoxSeen {
    std::wstring text;
    bool owner_enabled = true;
};
std::thread answer_box(const wchar_t* caption, HWND owner, int button, BoxSeen* seen) {
    return std::thread([=] {
        HWND box = nullptr;
        for (int tries = 0; tries < 1000 && box == nullptr; ++tries) {
            box = FindWindowW(L"#32770", caption);
            if (box == nullptr || !IsWindowVisible(box)) box = nullptr, Sleep(10);
        }
        if (box == nullptr) return;
        wchar_t text[512] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 512);
        seen->text = text;
        seen->owner_enabled = IsWindowEnabled(owner) != 0;
        PostMessageW(owner, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        PostMessageW(owner, WM_KEYDOWN, VK_SPACE, 0);
        PostMessageW(owner, WM_CLOSE, 0, 0);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    });
}

TEST_F(Win32Layer, ABoxShowsKoreanAndItsFrozenOwnerActsOnNoInputGivenBeforeOrDuring) {
    for (bool owned : {true, false}) {
        SCOPED_TRACE(owned ? "owned box" : "box without owner");
        // Queued before the box: a second click, a press, a move; and a release.
        post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        post(WM_KEYDOWN, VK_F2);
        post(WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
        post(WM_KEYUP, VK_F3);
        BoxSeen seen;
        std::thread user =
            answer_box(L"\uD0DC\uC591", reinterpret_cast<HWND>(window_), IDOK, &seen);
        const int answer =
            message_box(owned ? window_ : nullptr, "반지름(Km) : 695,500\n자전주기 : 25.4일",
                        "태양", MB_OK | MB_ICONINFORMATION);
        user.join();
        EXPECT_EQ(answer, IDOK);
        EXPECT_EQ(seen.text,
                  L"\uBC18\uC9C0\uB984(Km) : 695,500\n\uC790\uC804\uC8FC\uAE30 : 25.4\uC77C");
        if (owned) {
            EXPECT_FALSE(seen.owner_enabled);
        }
        using Taken = std::vector<std::pair<std::uint32_t, WParam>>;
        EXPECT_EQ(take_until_idle(), (Taken{{WM_KEYUP, VK_F3}, {WM_NULL, 0}}));
        EXPECT_EQ(handed_to_window.size(), 1u);  // the release, and nothing else
        handed_to_window.clear();
    }
}

}  // namespace
