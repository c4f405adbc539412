// The layer's events and messages: the translation of SDL events as a pure function, and the
// queue on SDL's real event queue for a window on a private Xvfb: the screen saver, the time a box
// is open with the held releases of taps, and hang-ups; and the X colormaps of replaced windows.
#include <SDL.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <utility>
#include <vector>

#include "platform/sdl/event_translation.h"
#include "platform/sdl/message_queue.h"
#include "platform/sdl/test_hooks.h"
#include "platform/window_system.h"
#include "support/x11_harness.h"
// Last: Xlib's macros (None, Bool, Status) clash with names in the test framework.
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/XRes.h>
#include <X11/extensions/XTest.h>

using Seen = std::vector<long>;  // message numbers, words and long parameters

static long at(int x, int y) { return x | y << 16; }

// An event: a key (a), a pointer position (a, b) with a button (c), or a window event (a) with
// its data (b, c); all for the window with SDL id `id`.
static SDL_Event event(std::uint32_t type, int a = 0, int b = 0, int c = 0, std::uint32_t id = 0) {
    SDL_Event e{};
    e.type = type;
    e.window.windowID = id;  // where every kind keeps it
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

// Two windows that translation only compares; the event names the first, 800 x 600, the focus is
// on the second; the right button is held.
static char windows[2];
static const auto first = reinterpret_cast<WindowHandle>(&windows[0]);
static const auto second = reinterpret_cast<WindowHandle>(&windows[1]);
static const EventTarget target{first, second, 800, 600, SDL_BUTTON_RMASK};

// Window (0 first, 1 second, -1 none), message, word and long parameter; empty for none.
static Seen translated(const SDL_Event& e, const EventTarget& to = target) {
    const Message m = translate_event(e, to);
    if (m.message == WM_NULL) return {};
    return {m.window == first    ? 0
            : m.window == second ? 1
                                 : -1,
            long(m.message), long(m.w_param), long(m.l_param)};
}

// Every key the system reads, by its virtual-key number; the main keyboard's plus and minus are
// other keys than the keypad's; a repeat sets bit 30. A key that names no window is the focused
// window's; keys of no code, or of a window not the layer's, are no message.
TEST(TranslationTest, KeysBecomeKeyMessagesWithTheirVirtualKeyCodes) {
    const std::pair<SDL_Keycode, long> keys[] = {
        {SDLK_ESCAPE, 27},  {SDLK_F1, 112},       {SDLK_F5, 116},        {SDLK_F12, 123},
        {SDLK_SPACE, 0x20}, {SDLK_KP_PLUS, 0x6B}, {SDLK_KP_MINUS, 0x6D}, {SDLK_EQUALS, 0xBB},
        {SDLK_MINUS, 0xBD}, {SDLK_a, 'A'},        {SDLK_z, 'Z'},         {SDLK_9, '9'},
        {SDLK_KP_0, 0x60},  {SDLK_KP_9, 0x69},    {SDLK_RETURN, 0x0D},   {SDLK_RSHIFT, 0x10},
    };
    for (const auto& [key, code] : keys) {
        SCOPED_TRACE(SDL_GetKeyName(key));
        EXPECT_EQ(translated(event(SDL_KEYDOWN, key, 0, 0, 7)), Seen({0, 0x100, code, 1}));
        EXPECT_EQ(translated(event(SDL_KEYUP, key)), Seen({1, 0x101, code, 1}));
    }
    SDL_Event repeat = event(SDL_KEYDOWN, SDLK_F2, 0, 0, 7);
    repeat.key.repeat = 1;
    EXPECT_EQ(translated(repeat), Seen({0, 0x100, 113, 1 | 1 << 30}));
    EXPECT_EQ(translated(event(SDL_KEYDOWN, SDLK_HOME, 0, 0, 7)), Seen());
    EXPECT_EQ(translated(event(SDL_KEYDOWN, SDLK_F2, 0, 0, 7), {nullptr, second, 8, 6, 0}), Seen());
}

// Positions in client pixels, stopped at the edges, with the held buttons; the buttons the system
// reads; window events as sizes (minimised 0 by 0, restored the window's own), redraws and close
// requests; the end of the session, focus changes and other windows' events carry none.
TEST(TranslationTest, PointerAndWindowEventsBecomeMessages) {
    const std::pair<int, int> moves[][2] = {
        {{10, 20}, {10, 20}}, {{-5, -7}, {0, 0}}, {{900, 650}, {799, 599}}, {{799, 0}, {799, 0}}};
    for (const auto& [to, seen] : moves) {
        SDL_Event move = event(SDL_MOUSEMOTION, to.first, to.second);
        move.motion.state = SDL_BUTTON_LMASK;
        EXPECT_EQ(translated(move), Seen({0, 0x200, 1, at(seen.first, seen.second)}));
    }
    Seen numbers;
    for (auto [type, button] : {std::pair{SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT},
                                {SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT},
                                {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT},
                                {SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT}}) {
        Seen got = translated(event(type, 400, -3, button));
        numbers.push_back(got.empty() ? -1 : got[1]);
        EXPECT_EQ(got.empty() ? Seen() : Seen(got.begin() + 2, got.end()), Seen({2, at(400, 0)}));
    }
    EXPECT_EQ(numbers, Seen({0x201, 0x202, 0x204, 0x205}));
    EXPECT_EQ(translated(event(SDL_MOUSEBUTTONDOWN, 5, 5, SDL_BUTTON_MIDDLE)), Seen());

    const std::pair<int, Seen> window_events[] = {
        {SDL_WINDOWEVENT_MINIMIZED, {0, 5, 0, 0}},
        {SDL_WINDOWEVENT_RESTORED, {0, 5, 0, at(800, 600)}},
        {SDL_WINDOWEVENT_SIZE_CHANGED, {0, 5, 0, at(1000, 700)}},
        {SDL_WINDOWEVENT_EXPOSED, {0, 0x0F, 0, 0}},
        {SDL_WINDOWEVENT_CLOSE, {0, 0x10, 0, 0}},
        {SDL_WINDOWEVENT_FOCUS_GAINED, {}},
        {SDL_WINDOWEVENT_DISPLAY_CHANGED, {}}};
    for (const auto& [what, seen] : window_events) {
        EXPECT_EQ(translated(event(SDL_WINDOWEVENT, what, 1000, 700)), seen) << what;
    }
    EXPECT_EQ(translated(event(SDL_QUIT)), Seen());
    EXPECT_EQ(translated(event(SDL_WINDOWEVENT, SDL_WINDOWEVENT_CLOSE), {nullptr, second, 0, 0, 0}),
              Seen());
}

static LResult quiet_proc(WindowHandle, std::uint32_t, WParam, LParam) { return 0; }

// A shown window of the layer on a private display.
class QueueTest : public ::testing::Test {
   protected:
    static void SetUpTestSuite() {
        static XvfbDisplay display("1024x768x24");
        setenv("DISPLAY", display.name().c_str(), 1);
        ASSERT_TRUE(register_class({0, quiet_proc, &instance, "QueueTest"}));
        open_window();
    }
    static void open_window() {
        window =
            create_window(0, "QueueTest", "queue", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, &instance);
        ASSERT_NE(window, nullptr);
        show_window(window);
    }
    void SetUp() override {
        // Whatever the server sent the new window so far is not under test.
        set_focus(window);
        SDL_Delay(50);
        while (peek_message(&message)) {
        }
    }
    static void push(std::uint32_t type, int a = 0, int b = 0, int c = 0) {
        SDL_Event e = event(type, a, b, c, platform_window_id(window));
        SDL_PushEvent(&e);
    }
    // Message numbers and words as number << 8 | word, in the order the loop takes them; 0 for
    // each idle pass, of which there are `passes`.
    static Seen taken(int passes) {
        Seen seen;
        for (int pass = 0; pass < passes; ++pass) {
            while (peek_message(&message))
                seen.push_back(long(message.message << 8 | message.w_param));
            seen.push_back(0);
        }
        return seen;
    }
    static char instance;
    static WindowHandle window;
    static Message message;
};
char QueueTest::instance;
WindowHandle QueueTest::window = nullptr;
Message QueueTest::message{};

// The screen saver is held off only while the window is focused and not minimised; video starts
// with text input off.
TEST_F(QueueTest, ScreenSaverIsHeldOffOnlyWhileTheWindowIsActive) {
    EXPECT_FALSE(SDL_IsTextInputActive());
    disable_screen_saver();
    Seen enabled;
    for (int what : {SDL_WINDOWEVENT_FOCUS_GAINED, SDL_WINDOWEVENT_MINIMIZED,
                     SDL_WINDOWEVENT_RESTORED, SDL_WINDOWEVENT_FOCUS_LOST}) {
        push(SDL_WINDOWEVENT, what), taken(1);
        enabled.push_back(SDL_IsScreenSaverEnabled());
    }
    EXPECT_EQ(enabled, Seen({0, 1, 0, 1}));
}

// While a box is open, presses, moves and close requests are dropped, also those already in the
// queue (the first is taken before) or SDL's backlog when the box opens; releases, sizes and
// redraws come afterwards. The window keeps the focus that the box takes, and full screen would
// not be minimised. A quit signal is kept: its close request, queued before, comes after the box.
TEST_F(QueueTest, ABoxDropsPressesAndMovesAndKeepsReleasesSizesAndTheQuit) {
    push(SDL_KEYDOWN, SDLK_F2), push(SDL_MOUSEBUTTONDOWN, 5, 5, SDL_BUTTON_LEFT);
    push(SDL_KEYDOWN, SDLK_ESCAPE), push(SDL_KEYUP, SDLK_SPACE), push(SDL_QUIT);
    ASSERT_TRUE(peek_message(&message));  // the F2 press; the rest is in the layer's queue
    push(SDL_MOUSEMOTION, 9, 9), push(SDL_MOUSEBUTTONDOWN, 9, 9, SDL_BUTTON_RIGHT);
    push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_SIZE_CHANGED, 1000, 700);  // SDL's backlog
    begin_box_time();
    push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST), push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_CLOSE);
    push(SDL_MOUSEBUTTONUP, 9, 9, SDL_BUTTON_RIGHT), push(SDL_KEYDOWN, SDLK_F1);
    push(SDL_KEYUP, SDLK_F2), push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_EXPOSED);
    pump_events();
    EXPECT_EQ(get_focus(), window);
    const char* hint = SDL_GetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS);
    EXPECT_STREQ(hint, "0");
    EXPECT_TRUE(quit_signalled());
    end_box_time();
    EXPECT_EQ(SDL_GetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS), nullptr);
    // The F2 release was pressed since the last idle pass: it waits for one, so that a key tapped
    // within one frame is still seen; Space's, pressed before, does not.
    EXPECT_EQ(taken(2), Seen({0x10100 | 0x20, 0x500, 0x20500, 0xF00, 0x1000, 0, 0x10100 | 113, 0}));
}

// SDL turns SIGINT and SIGTERM into its quit event; a hang-up, which SDL leaves alone, takes the
// same road: the window is asked to close.
TEST_F(QueueTest, AHangUpAsksTheWindowToClose) {
    ASSERT_EQ(raise(SIGHUP), 0);
    EXPECT_EQ(taken(1), Seen({0x1000, 0}));
}

// A click that comes in with the focus is a click, also when the window reads both at once (it was
// busy drawing): SDL would drop a click it reads within 10 ms of the focus coming in.
TEST_F(QueueTest, AClickThatComesWithTheFocusIsKept) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_TRUE(SDL_GetWindowWMInfo(SDL_GetWindowFromID(platform_window_id(window)), &info));
    Display* x = info.info.x11.display;
    int root_x = 0, root_y = 0;
    ::Window child = 0;
    XTranslateCoordinates(x, info.info.x11.window, DefaultRootWindow(x), 100, 100, &root_x,
                          &root_y, &child);
    XTestFakeMotionEvent(x, -1, root_x, root_y, CurrentTime);
    XSetInputFocus(x, PointerRoot, RevertToPointerRoot, CurrentTime);
    XSync(x, False), SDL_Delay(50), taken(1);
    XSetInputFocus(x, info.info.x11.window, RevertToParent, CurrentTime);
    XTestFakeButtonEvent(x, 1, True, CurrentTime), XTestFakeButtonEvent(x, 1, False, CurrentTime);
    XSync(x, False);
    Seen buttons;
    for (long seen : taken(1))
        if (seen >> 8 == WM_LBUTTONDOWN || seen >> 8 == WM_LBUTTONUP) buttons.push_back(seen >> 8);
    EXPECT_EQ(buttons, Seen({WM_LBUTTONDOWN, WM_LBUTTONUP}));
}

// The X window of a layer window, through SDL.
static unsigned long x_window(WindowHandle window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(SDL_GetWindowFromID(platform_window_id(window)), &info)) return 0;
    return info.subsystem == SDL_SYSWM_X11 ? info.info.x11.window : 0;
}

// Whether the server still knows `colormap`: asking for a colour of a freed one is a BadColor.
static bool colormap_exists(Display* x, unsigned long colormap) {
    static int error_code;
    error_code = 0;
    XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent* e) {
        error_code = e->error_code;
        return 0;
    });
    XColor colour{};
    XQueryColor(x, colormap, &colour);
    XSync(x, False);
    XSetErrorHandler(previous);
    EXPECT_TRUE(error_code == 0 || error_code == BadColor) << int(error_code);
    return error_code == 0;
}

// The colormaps that the server holds for the client that made X window `owned`.
static int client_colormaps(Display* x, unsigned long owned) {
    int clients = 0, types = 0, count = -1;
    XResClient* client = nullptr;
    XResType* type = nullptr;
    XResQueryClients(x, &clients, &client);
    for (int i = 0; i < clients; ++i) {
        if ((owned & ~client[i].resource_mask) != client[i].resource_base) continue;
        XResQueryClientResources(x, client[i].resource_base, &types, &type);
        count = 0;
        for (int t = 0; t < types; ++t) {
            if (type[t].resource_type == XInternAtom(x, "COLORMAP", False)) count = type[t].count;
        }
        XFree(type);
    }
    XFree(client);
    return count;
}

// F1 destroys the only window and then makes the next. Each destroyed window's own colormap is
// freed, and the server holds no more colormaps of the program after three such turns than
// before: SDL would leave the window's and, as it loads GL again for the next window, another.
TEST_F(QueueTest, ReplacingTheOnlyWindowLeavesNoColormapBehind) {
    Display* x = XOpenDisplay(nullptr);
    ASSERT_NE(x, nullptr);
    const unsigned long first_x_window = x_window(window);
    ASSERT_NE(first_x_window, 0u);
    const int before = client_colormaps(x, first_x_window);
    ASSERT_GE(before, 1);
    std::vector<unsigned long> gone;
    for (int turn = 0; turn < 3; ++turn) {
        XWindowAttributes attributes{};
        ASSERT_NE(XGetWindowAttributes(x, x_window(window), &attributes), 0);
        ASSERT_NE(attributes.colormap, DefaultColormap(x, DefaultScreen(x)));
        EXPECT_TRUE(colormap_exists(x, attributes.colormap));
        gone.push_back(attributes.colormap);
        ASSERT_TRUE(destroy_window(window));
        open_window();
    }
    for (unsigned long colormap : gone) EXPECT_FALSE(colormap_exists(x, colormap)) << colormap;
    EXPECT_EQ(client_colormaps(x, x_window(window)), before);
    XCloseDisplay(x);
}
