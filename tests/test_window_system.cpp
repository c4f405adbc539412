// SDL events translated to messages; the queue, boxes and windows on SDL's queue on a private Xvfb.
#include <SDL.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "platform/sdl/box_process.h"
#include "platform/sdl/event_translation.h"
#include "platform/sdl/message_queue.h"
#include "platform/sdl/sdl_windows.h"
#include "support/x11_harness.h"
// Last: Xlib's macros (None, Bool, Status) clash with names in the test framework.
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/XRes.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using Seen = std::vector<long>;  // message numbers, words and long parameters

static long at(int x, int y) { return x | y << 16; }

// For window `id`: a key (a); a position (a, b) with held buttons or the button (c); a wheel's
// notches (a) and hundredths (b); a window event (a) with its data (b, c).
static SDL_Event event(std::uint32_t type, int a = 0, int b = 0, int c = 0, std::uint32_t id = 7) {
    SDL_Event e{};
    e.type = type;
    e.window.windowID = id;  // where every kind keeps it
    if (type == SDL_KEYDOWN || type == SDL_KEYUP) e.key.keysym.sym = a;
    if (type == SDL_MOUSEMOTION) e.motion.x = a, e.motion.y = b, e.motion.state = c;
    if (type == SDL_MOUSEBUTTONDOWN || type == SDL_MOUSEBUTTONUP)
        e.button.button = static_cast<std::uint8_t>(c), e.button.x = a, e.button.y = b;
    if (type == SDL_MOUSEWHEEL) e.wheel.y = a, e.wheel.preciseY = float(b) / 100;
    if (type == SDL_WINDOWEVENT)
        e.window.event = static_cast<std::uint8_t>(a), e.window.data1 = b, e.window.data2 = c;
    return e;
}

// Events name the first window (800 x 600), the focus is on the second, the right button held.
// Translated: window (0 first, 1 second), message, word, long parameter; empty for none.
static char windows[2];
static const EventTarget target{reinterpret_cast<WindowHandle>(&windows[0]),
                                reinterpret_cast<WindowHandle>(&windows[1]), 800, 600,
                                SDL_BUTTON_RMASK};
static Seen translated(const SDL_Event& e, const EventTarget& to = target) {
    const Message m = translate_event(e, to);
    if (m.message == WM_NULL) return {};
    return {m.window == to.window ? 0 : 1, long(m.message), long(m.w_param), long(m.l_param)};
}

// Each key read, as its virtual key (the keypad's plus and minus not the main keyboard's); a repeat
// sets bit 30; a key naming no window goes to the focus; unknown keys or windows give nothing.
TEST(TranslationTest, KeysPointerAndWindowEventsBecomeMessages) {
    const std::pair<SDL_Keycode, long> keys[] = {
        {SDLK_ESCAPE, 27},  {SDLK_F1, 112},       {SDLK_F5, 116},        {SDLK_F12, 123},
        {SDLK_SPACE, 0x20}, {SDLK_KP_PLUS, 0x6B}, {SDLK_KP_MINUS, 0x6D}, {SDLK_EQUALS, 0xBB},
        {SDLK_MINUS, 0xBD}, {SDLK_a, 'A'},        {SDLK_z, 'Z'},         {SDLK_9, '9'},
        {SDLK_KP_0, 0x60},  {SDLK_KP_9, 0x69},    {SDLK_RETURN, 0x0D},   {SDLK_RSHIFT, 0x10}};
    for (const auto& [key, code] : keys) {
        EXPECT_EQ(translated(event(SDL_KEYDOWN, key)), Seen({0, 0x100, code, 1})) << key;
        EXPECT_EQ(translated(event(SDL_KEYUP, key, 0, 0, 0)), Seen({1, 0x101, code, 1})) << key;
    }
    SDL_Event repeat = event(SDL_KEYDOWN, SDLK_F2);
    repeat.key.repeat = 1;
    EXPECT_EQ(translated(repeat), Seen({0, 0x100, 113, 1 | 1 << 30}));
    const EventTarget nowhere{nullptr, nullptr, 8, 6, 0};
    EXPECT_EQ(translated(event(SDL_KEYDOWN, SDLK_F2), nowhere), Seen());
    EXPECT_EQ(translated(event(SDL_WINDOWEVENT, SDL_WINDOWEVENT_CLOSE), nowhere), Seen());
    // Positions clamped to the client area; the wheel (fractions too) as 120 a notch away from the
    // user in the signed high word; sizes (minimised 0 by 0, restored the window's own), redraws
    // and close requests; the session's end, focus changes and other windows' events nothing.
    const std::pair<SDL_Event, Seen> cases[] = {
        {event(SDL_MOUSEMOTION, 10, 20, SDL_BUTTON_LMASK), {0, 0x200, 1, at(10, 20)}},
        {event(SDL_MOUSEMOTION, -5, -7), {0, 0x200, 0, at(0, 0)}},
        {event(SDL_MOUSEMOTION, 900, 650), {0, 0x200, 0, at(799, 599)}},
        {event(SDL_MOUSEBUTTONDOWN, 400, -3, SDL_BUTTON_LEFT), {0, 0x201, 2, at(400, 0)}},
        {event(SDL_MOUSEBUTTONUP, 400, -3, SDL_BUTTON_LEFT), {0, 0x202, 2, at(400, 0)}},
        {event(SDL_MOUSEBUTTONDOWN, 900, 5, SDL_BUTTON_RIGHT), {0, 0x204, 2, at(799, 5)}},
        {event(SDL_MOUSEBUTTONUP, 9, 5, SDL_BUTTON_RIGHT), {0, 0x205, 2, at(9, 5)}},
        {event(SDL_MOUSEBUTTONDOWN, 5, 5, SDL_BUTTON_MIDDLE), {}},
        {event(SDL_MOUSEWHEEL, 1, 100), {0, 0x20A, 120 << 16, 0}},
        {event(SDL_MOUSEWHEEL, -2, -200), {0, 0x20A, 0xFF10L << 16, 0}},
        {event(SDL_MOUSEWHEEL, 0, 25), {0, 0x20A, 30 << 16, 0}},
        {event(SDL_WINDOWEVENT, SDL_WINDOWEVENT_MINIMIZED, 1000, 700), {0, 5, 0, 0}},
        {event(SDL_WINDOWEVENT, SDL_WINDOWEVENT_RESTORED, 1000, 700), {0, 5, 0, at(800, 600)}},
        {event(SDL_WINDOWEVENT, SDL_WINDOWEVENT_SIZE_CHANGED, 1000, 700), {0, 5, 0, at(1000, 700)}},
        {event(SDL_WINDOWEVENT, SDL_WINDOWEVENT_EXPOSED), {0, 0x0F, 0, 0}},
        {event(SDL_WINDOWEVENT, SDL_WINDOWEVENT_CLOSE), {0, 0x10, 0, 0}},
        {event(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_GAINED), {}},
        {event(SDL_QUIT), {}},
        {event(SDL_KEYDOWN, SDLK_HOME), {}}};
    for (const auto& [e, seen] : cases) EXPECT_EQ(translated(e), seen) << &seen - &cases[0].second;
}

// The viewable window captioned `caption`; 0 for none.
static Window named_window(const std::string& caption) {
    const std::string command = "xwininfo -root -tree | awk '/\"" + caption +
                                "\": / {print $1}' | xargs -rn1 xwininfo -id | "
                                "awk '/Window id/ {id = $4} /IsViewable/ {print id}'";
    FILE* search = popen(command.c_str(), "r");
    Window id = 0;
    if (std::fscanf(search, "%lx", &id) != 1) id = 0;
    return pclose(search), id;
}

static LResult quiet_proc(WindowHandle, std::uint32_t, WParam, LParam) { return 0; }

// A shown window of the layer on a private display.
class QueueTest : public ::testing::Test {
   protected:
    static void SetUpTestSuite() {
        static XvfbDisplay display("1024x768x24");
        setenv("DISPLAY", display.name().c_str(), 1);
        x = XOpenDisplay(nullptr);
        ASSERT_TRUE(register_class({0, quiet_proc, &instance, "QueueTest"}));
        open_window();
    }
    static void open_window() {
        window =
            create_window(0, "QueueTest", "queue", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, &instance);
        ASSERT_NE(window, nullptr);
        show_window(window);
    }
    void SetUp() override {  // the real focus in before the test
        set_focus(window);
        ASSERT_TRUE(
            wait_until([] { return taken(1), SDL_GetKeyboardFocus() == window->sdl_window; }));
    }
    static void push(std::uint32_t type, int a = 0, int b = 0, int c = 0) {
        SDL_Event e = event(type, a, b, c, SDL_GetWindowID(window->sdl_window));
        SDL_PushEvent(&e);
    }
    // number << 8 | word of the messages taken, 0 after each of `passes` idle passes.
    static Seen taken(int passes) {
        Seen seen;
        for (Message message; passes-- > 0; seen.push_back(0))
            while (peek_message(&message))
                seen.push_back(long(message.message << 8 | message.w_param));
        return seen;
    }
    static unsigned long x_window() {  // the window's X window
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        return SDL_GetWindowWMInfo(window->sdl_window, &info) ? info.info.x11.window : 0;
    }
    static inline char instance;
    static inline WindowHandle window = nullptr;
    static inline Display* x = nullptr;  // the test's own connection
};

// A box drops presses, moves, the wheel and close requests, queued before it too; releases, sizes
// and redraws come after. The window keeps the focus (full screen through a box, and boxes after a
// quit signal: e2e_desktop.sh). A hang-up (the road of SIGINT and SIGTERM) is kept: its close
// request comes after the box.
TEST_F(QueueTest, ABoxDropsPressesAndMovesAndKeepsReleasesSizesAndTheQuit) {
    push(SDL_KEYDOWN, SDLK_F2), push(SDL_MOUSEBUTTONDOWN, 5, 5, SDL_BUTTON_LEFT);
    push(SDL_KEYDOWN, SDLK_ESCAPE), push(SDL_KEYUP, SDLK_SPACE), raise(SIGHUP);
    Message message;
    ASSERT_TRUE(peek_message(&message));  // the F2 press; the rest is in the layer's queue
    push(SDL_MOUSEMOTION, 9, 9), push(SDL_MOUSEBUTTONDOWN, 9, 9, SDL_BUTTON_RIGHT);
    push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_SIZE_CHANGED, 1000, 700);  // SDL's backlog
    begin_box_time();
    push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST), push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_CLOSE);
    push(SDL_MOUSEBUTTONUP, 9, 9, SDL_BUTTON_RIGHT), push(SDL_KEYDOWN, SDLK_F1);
    push(SDL_MOUSEWHEEL, 1, 100);
    push(SDL_KEYUP, SDLK_F2), push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_EXPOSED);
    pump_events();
    EXPECT_EQ(get_focus(), window);
    EXPECT_TRUE(quit_signalled());
    end_box_time();
    EXPECT_EQ(SDL_GetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS), nullptr);
    // F2, pressed since the last idle pass, is released after one (a tap within a frame is seen).
    EXPECT_EQ(taken(2), Seen({0x10100 | 0x20, 0x500, 0x20500, 0xF00, 0x1000, 0, 0x10100 | 113, 0}));
}

// The screen saver is held off only while focused and not minimised; text input is off. A click
// read with the focus coming in is kept (SDL drops those within 10 ms of it).
TEST_F(QueueTest, TheScreenSaverFollowsTheFocusAndAClickThatComesWithItIsKept) {
    EXPECT_FALSE(SDL_IsTextInputActive());
    disable_screen_saver();
    Seen enabled;
    for (int what : {SDL_WINDOWEVENT_FOCUS_GAINED, SDL_WINDOWEVENT_MINIMIZED,
                     SDL_WINDOWEVENT_RESTORED, SDL_WINDOWEVENT_FOCUS_LOST}) {
        push(SDL_WINDOWEVENT, what), taken(1);
        enabled.push_back(SDL_IsScreenSaverEnabled());
    }
    EXPECT_EQ(enabled, Seen({0, 1, 0, 1}));
    XWarpPointer(x, 0, x_window(), 0, 0, 0, 0, 100, 100);
    XSetInputFocus(x, PointerRoot, RevertToPointerRoot, CurrentTime);
    XSync(x, False);
    ASSERT_TRUE(wait_until([] { return taken(1), SDL_GetKeyboardFocus() == nullptr; }));
    XSetInputFocus(x, x_window(), RevertToParent, CurrentTime);
    XTestFakeButtonEvent(x, 1, True, CurrentTime), XTestFakeButtonEvent(x, 1, False, CurrentTime);
    XSync(x, False);
    Seen buttons;
    for (long seen : taken(1))
        if (seen >> 8 == WM_LBUTTONDOWN || seen >> 8 == WM_LBUTTONUP) buttons.push_back(seen >> 8);
    EXPECT_EQ(buttons, Seen({WM_LBUTTONDOWN, WM_LBUTTONUP}));
}

// A window replaced as by F1 leaves no colormap behind. A box started from a thread that blocks and
// ignores the quit signals (as SDL's do) goes when the program that showed it is killed.
TEST_F(QueueTest, NoColormapOfAReplacedWindowNorTheBoxOfAKilledProgramStays) {
    auto colormaps = [] {  // held by the client that made the window
        int types = 0, count = 0;
        XResType* type = nullptr;
        XResQueryClientResources(x, x_window(), &types, &type);
        for (int t = 0; t < types; ++t)
            if (type[t].resource_type == XInternAtom(x, "COLORMAP", False)) count = type[t].count;
        XFree(type);
        return count;
    };
    const int before = colormaps();
    ASSERT_GE(before, 1);
    ASSERT_TRUE(destroy_window(window));
    open_window();
    EXPECT_EQ(colormaps(), before);

    const auto shown = [] { return named_window("Orphan") != 0; };
    const int program = fork();
    if (program == 0) {
        sigset_t quits;
        sigemptyset(&quits);
        for (int s : {SIGHUP, SIGINT, SIGTERM, SIGCHLD}) sigaddset(&quits, s), signal(s, SIG_IGN);
        pthread_sigmask(SIG_BLOCK, &quits, nullptr);
        start_box_process({"Orphan", "본문", MB_OK, 0, "x11"}), pause(), _exit(0);
    }
    ASSERT_TRUE(wait_until(shown));
    kill(program, SIGKILL);
    waitpid(program, nullptr, 0);
    EXPECT_TRUE(wait_until([&] { return !shown(); })) << "orphaned box";

    // A question closed by Escape or the window manager answers No.
    for (bool escape : {true, false}) {
        const int box = start_box_process({"Question", "본문", MB_YESNO, 0, "x11"});
        Window w = 0;
        ASSERT_TRUE(wait_until([&] { return (w = named_window("Question")) != 0; }));
        XEvent close{};
        close.xclient.type = ClientMessage, close.xclient.window = w, close.xclient.format = 32;
        close.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
        close.xclient.data.l[0] = long(XInternAtom(x, "WM_DELETE_WINDOW", False));
        const unsigned key = XKeysymToKeycode(x, XK_Escape);
        if (escape) XSetInputFocus(x, w, RevertToParent, 0), XTestFakeKeyEvent(x, key, True, 0);
        if (escape) XTestFakeKeyEvent(x, key, False, 0);
        if (!escape) XSendEvent(x, w, False, NoEventMask, &close);
        int answer = XSync(x, False);
        EXPECT_TRUE(wait_until([&] { return wait_box_process(box, 0, &answer); }));
        EXPECT_EQ(answer, IDNO) << escape;
    }
}
