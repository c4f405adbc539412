// The layer's translation of platform events into messages: SDL events are
// queued for a real window on a private Xvfb and taken out through
// peek_message, as the main loop takes them.
#include <SDL.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/platform_counts.h"
#include "platform/window_system.h"
#include "support/x11_harness.h"

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
        Message message;
        SDL_Delay(50);
        while (peek_message(&message)) {
        }
    }
    // An event of `type` for the window; every kind keeps the window's id at
    // the same place, which `window.windowID` names.
    static SDL_Event event(std::uint32_t type) {
        SDL_Event event{};
        event.type = type;
        event.window.windowID = platform_window_id(window);
        return event;
    }
    static SDL_Event window_event(std::uint8_t what, int data1 = 0, int data2 = 0) {
        SDL_Event e = event(SDL_WINDOWEVENT);
        e.window.event = what;
        e.window.data1 = data1;
        e.window.data2 = data2;
        return e;
    }
    static SDL_Event key_event(std::uint32_t type, SDL_Keycode key) {
        SDL_Event e = event(type);
        e.key.keysym.sym = key;
        return e;
    }
    static SDL_Event mouse_event(std::uint32_t type, int x, int y, std::uint8_t button = 0) {
        SDL_Event e = event(type);
        if (type == SDL_MOUSEMOTION) {
            e.motion.x = x;
            e.motion.y = y;
        } else {
            e.button = SDL_MouseButtonEvent{type, 0, e.window.windowID, 0, button, 0, 1, 0, x, y};
        }
        return e;
    }
    // The message that one pushed event turns into: number, word and long parameter.
    static std::vector<long> message_for(SDL_Event event) {
        SDL_PushEvent(&event);
        Message message{};
        if (!peek_message(&message)) return {};
        return {static_cast<long>(message.message), static_cast<long>(message.w_param),
                static_cast<long>(message.l_param)};
    }
    static WindowHandle window;
};
WindowHandle LayerTest::window = nullptr;

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
        EXPECT_EQ(message_for(key_event(SDL_KEYDOWN, key)), std::vector<long>({0x100, code, 1}));
        Message idle;
        EXPECT_FALSE(peek_message(&idle));  // an idle pass sees the key down
        EXPECT_EQ(message_for(key_event(SDL_KEYUP, key)), std::vector<long>({0x101, code, 1}));
    }
}

// A press and release between two idle passes: the release waits for one.
// Escape's release, with no press since the last idle pass, does not wait.
TEST_F(LayerTest, ATapIsReleasedOnlyAfterAnIdlePass) {
    for (auto [type, key] : {std::pair{SDL_KEYDOWN, SDLK_F3}, std::pair{SDL_KEYUP, SDLK_F3},
                             std::pair{SDL_KEYUP, SDLK_ESCAPE}}) {
        SDL_Event event = key_event(type, key);
        SDL_PushEvent(&event);
    }
    std::vector<std::pair<long, long>> seen;
    Message message;
    for (int pass = 0; pass < 2; ++pass) {
        while (peek_message(&message)) seen.emplace_back(message.message, message.w_param);
        seen.emplace_back(0, 0);  // the idle pass
    }
    EXPECT_EQ(seen, (std::vector<std::pair<long, long>>{
                        {0x100, 114}, {0x101, 27}, {0, 0}, {0x101, 114}, {0, 0}}));
}

// Positions in client pixels, stopped at the edges; the buttons the system reads.
TEST_F(LayerTest, MousePositionsStopAtTheClientEdges) {
    auto at = [](int x, int y) { return static_cast<long>(x | (y << 16)); };
    EXPECT_EQ(message_for(mouse_event(SDL_MOUSEMOTION, 10, 20))[2], at(10, 20));
    EXPECT_EQ(message_for(mouse_event(SDL_MOUSEMOTION, -5, -7))[2], at(0, 0));
    EXPECT_EQ(message_for(mouse_event(SDL_MOUSEMOTION, 900, 650))[2], at(799, 599));
    EXPECT_EQ(message_for(mouse_event(SDL_MOUSEMOTION, 799, 0))[2], at(799, 0));
    const std::pair<std::uint32_t, std::uint8_t> buttons[] = {
        {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT},
        {SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT},
        {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT},
        {SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT}};
    std::vector<long> numbers;
    for (const auto& [type, button] : buttons) {
        std::vector<long> got = message_for(mouse_event(type, 400, -3, button));
        numbers.push_back(got.empty() ? -1 : got[0]);
        EXPECT_EQ(got.empty() ? -1 : got[2], at(400, 0));
    }
    EXPECT_EQ(numbers, std::vector<long>({0x201, 0x202, 0x204, 0x205}));
    EXPECT_TRUE(message_for(mouse_event(SDL_MOUSEBUTTONDOWN, 5, 5, SDL_BUTTON_MIDDLE)).empty());
}

// Minimise is a size of 0 by 0, restore the window's size again; close and
// the end of the session are close requests.
TEST_F(LayerTest, WindowEventsBecomeSizeAndCloseMessages) {
    EXPECT_EQ(message_for(window_event(SDL_WINDOWEVENT_MINIMIZED)),
              std::vector<long>({0x0005, 0, 0}));
    EXPECT_EQ(message_for(window_event(SDL_WINDOWEVENT_RESTORED)),
              std::vector<long>({0x0005, 0, 800 | (600 << 16)}));
    EXPECT_EQ(message_for(window_event(SDL_WINDOWEVENT_SIZE_CHANGED, 1000, 700)),
              std::vector<long>({0x0005, 0, 1000 | (700 << 16)}));
    EXPECT_EQ(message_for(window_event(SDL_WINDOWEVENT_CLOSE)), std::vector<long>({0x0010, 0, 0}));
    EXPECT_EQ(message_for(event(SDL_QUIT)), std::vector<long>({0x0010, 0, 0}));
}

// The screen saver is held off only while the window is focused and not minimised.
TEST_F(LayerTest, ScreenSaverIsHeldOffOnlyWhileTheWindowIsActive) {
    disable_screen_saver();
    std::vector<int> enabled;
    for (std::uint8_t what : {SDL_WINDOWEVENT_FOCUS_GAINED, SDL_WINDOWEVENT_MINIMIZED,
                              SDL_WINDOWEVENT_RESTORED, SDL_WINDOWEVENT_FOCUS_LOST}) {
        message_for(window_event(what));
        enabled.push_back(SDL_IsScreenSaverEnabled());
    }
    EXPECT_EQ(enabled, std::vector<int>({0, 1, 0, 1}));
}
