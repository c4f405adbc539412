// The layer's translation of platform events into messages: SDL events are
// queued for a real window on a private Xvfb and taken out through
// peek_message, as the main loop takes them.
#include <SDL.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/test_hooks.h"
#include "platform/window_system.h"
#include "support/x11_harness.h"

using Seen = std::vector<long>;  // message number, word and long parameter

static LResult quiet_proc(WindowHandle, std::uint32_t, WParam, LParam) { return 0; }

class LayerTest : public ::testing::Test {
   protected:
    static void SetUpTestSuite() {
        static XvfbDisplay display("1024x768x24");
        setenv("DISPLAY", display.name().c_str(), 1);
        static char instance;
        ASSERT_TRUE(register_class({0, quiet_proc, &instance, "LayerTest"}));
        window =
            create_window(0, "LayerTest", "layer", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, &instance);
        ASSERT_NE(window, nullptr);
        show_window(window);
    }
    void SetUp() override {
        // Whatever the server sent the new window so far is not under test.
        SDL_Delay(50);
        while (peek_message(&message)) {
        }
    }
    // An event for the window: a key (a), a pointer position (a, b) with a
    // button (c), or a window event (a) with its data (b, c).
    static SDL_Event event(std::uint32_t type, int a = 0, int b = 0, int c = 0) {
        SDL_Event e{};
        e.type = type;
        e.window.windowID = platform_window_id(window);  // where every kind keeps it
        if (type == SDL_KEYDOWN || type == SDL_KEYUP) e.key.keysym.sym = a;
        if (type == SDL_MOUSEMOTION) e.motion.x = a, e.motion.y = b;
        if (type == SDL_MOUSEBUTTONDOWN || type == SDL_MOUSEBUTTONUP) {
            e.button.button = static_cast<std::uint8_t>(c), e.button.x = a, e.button.y = b;
        }
        if (type == SDL_WINDOWEVENT) {
            e.window.event = static_cast<std::uint8_t>(a), e.window.data1 = b, e.window.data2 = c;
        }
        return e;
    }
    // The message that one queued event turns into; empty for none.
    static Seen message_for(SDL_Event e) {
        SDL_PushEvent(&e);
        if (!peek_message(&message)) return {};
        return {long(message.message), long(message.w_param), long(message.l_param)};
    }
    static WindowHandle window;
    static Message message;
};
WindowHandle LayerTest::window = nullptr;
Message LayerTest::message{};

static long at(int x, int y) { return x | y << 16; }

// Every key the system reads, by its virtual-key number; the main keyboard's
// plus and minus are other keys than the keypad's.
TEST_F(LayerTest, KeysBecomeKeyMessagesWithTheirVirtualKeyCodes) {
    const std::pair<SDL_Keycode, long> keys[] = {
        {SDLK_ESCAPE, 27},     {SDLK_F1, 112},      {SDLK_F2, 113},     {SDLK_F3, 114},
        {SDLK_F4, 115},        {SDLK_F5, 116},      {SDLK_SPACE, 0x20}, {SDLK_KP_PLUS, 0x6B},
        {SDLK_KP_MINUS, 0x6D}, {SDLK_EQUALS, 0xBB}, {SDLK_MINUS, 0xBD}, {SDLK_a, 'A'},
    };
    for (const auto& [key, code] : keys) {
        SCOPED_TRACE(SDL_GetKeyName(key));
        EXPECT_EQ(message_for(event(SDL_KEYDOWN, key)), Seen({0x100, code, 1}));
        EXPECT_FALSE(peek_message(&message));  // an idle pass sees the key down
        EXPECT_EQ(message_for(event(SDL_KEYUP, key)), Seen({0x101, code, 1}));
    }
}

// A press and release between two idle passes: the release waits for one.
// Escape's release, with no press since the last idle pass, does not wait.
TEST_F(LayerTest, ATapIsReleasedOnlyAfterAnIdlePass) {
    for (auto [type, key] : {std::pair{SDL_KEYDOWN, SDLK_F3}, std::pair{SDL_KEYUP, SDLK_F3},
                             std::pair{SDL_KEYUP, SDLK_ESCAPE}}) {
        SDL_Event e = event(type, key);
        SDL_PushEvent(&e);
    }
    Seen seen;  // key messages as number and key, 0 for an idle pass
    for (int pass = 0; pass < 2; ++pass) {
        while (peek_message(&message)) seen.push_back(long(message.message << 8 | message.w_param));
        seen.push_back(0);
    }
    EXPECT_EQ(seen, Seen({0x10000 | 114, 0x10100 | 27, 0, 0x10100 | 114, 0}));
}

// Positions in client pixels, stopped at the edges; the buttons the system reads.
TEST_F(LayerTest, MousePositionsStopAtTheClientEdges) {
    const std::pair<int, int> moves[][2] = {
        {{10, 20}, {10, 20}}, {{-5, -7}, {0, 0}}, {{900, 650}, {799, 599}}, {{799, 0}, {799, 0}}};
    for (const auto& [to, seen] : moves) {
        EXPECT_EQ(message_for(event(SDL_MOUSEMOTION, to.first, to.second)),
                  Seen({0x200, 0, at(seen.first, seen.second)}));
    }
    Seen numbers;
    for (auto [type, button] : {std::pair{SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT},
                                {SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT},
                                {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT},
                                {SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT}}) {
        Seen got = message_for(event(type, 400, -3, button));
        numbers.push_back(got.empty() ? -1 : got[0]);
        EXPECT_EQ(got.empty() ? -1 : got[2], at(400, 0));
    }
    EXPECT_EQ(numbers, Seen({0x201, 0x202, 0x204, 0x205}));
    EXPECT_EQ(message_for(event(SDL_MOUSEBUTTONDOWN, 5, 5, SDL_BUTTON_MIDDLE)), Seen());
}

// Minimise is a size of 0 by 0, restore the window's size again; close and
// the end of the session are close requests.
TEST_F(LayerTest, WindowEventsBecomeSizeAndCloseMessages) {
    EXPECT_EQ(message_for(event(SDL_WINDOWEVENT, SDL_WINDOWEVENT_MINIMIZED)), Seen({5, 0, 0}));
    EXPECT_EQ(message_for(event(SDL_WINDOWEVENT, SDL_WINDOWEVENT_RESTORED)),
              Seen({5, 0, at(800, 600)}));
    EXPECT_EQ(message_for(event(SDL_WINDOWEVENT, SDL_WINDOWEVENT_SIZE_CHANGED, 1000, 700)),
              Seen({5, 0, at(1000, 700)}));
    EXPECT_EQ(message_for(event(SDL_WINDOWEVENT, SDL_WINDOWEVENT_CLOSE)), Seen({0x10, 0, 0}));
    EXPECT_EQ(message_for(event(SDL_QUIT)), Seen({0x10, 0, 0}));
}

// The screen saver is held off only while the window is focused and not minimised.
TEST_F(LayerTest, ScreenSaverIsHeldOffOnlyWhileTheWindowIsActive) {
    disable_screen_saver();
    Seen enabled;
    for (int what : {SDL_WINDOWEVENT_FOCUS_GAINED, SDL_WINDOWEVENT_MINIMIZED,
                     SDL_WINDOWEVENT_RESTORED, SDL_WINDOWEVENT_FOCUS_LOST}) {
        message_for(event(SDL_WINDOWEVENT, what));
        enabled.push_back(SDL_IsScreenSaverEnabled());
    }
    EXPECT_EQ(enabled, Seen({0, 1, 0, 1}));
}
