// SDL events to messages, the window procedure's input; on a private 1024x768 Xvfb (no 800x600
// mode) the layer's queue, boxes, windows and the main window's state, passes, pacing, failures.
#include <SDL.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/window_proc.h"
#include "platform/sdl/box_process.h"
#include "platform/sdl/event_translation.h"
#include "platform/sdl/message_queue.h"
#include "platform/sdl/sdl_windows.h"
#include "render/render_state.h"
#include "support/x11_harness.h"
// Last: Xlib's macros (None, Bool, Status) clash with names in the test framework.
#include <X11/Xlib.h>
#include <X11/extensions/XRes.h>
#include <X11/extensions/XTest.h>
using Seen = std::vector<long>;  // message numbers, words and long parameters
using Floats = std::vector<GLfloat>;
using Ints = std::vector<int>;
static long at(int x, int y) { return x | y << 16; }
// For window `id`: a key (a), repeated if c; a position (a, b) with held buttons or the button (c);
// a wheel's notches (a) and hundredths (b); a window event (a), its data (b, c).
static SDL_Event event(std::uint32_t type, int a = 0, int b = 0, int c = 0, std::uint32_t id = 7) {
    SDL_Event e{};
    e.type = type, e.window.windowID = id;  // where every kind keeps the window
    if (type == SDL_KEYDOWN || type == SDL_KEYUP) e.key.keysym.sym = a, e.key.repeat = c;
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
static const EventTarget target{reinterpret_cast<WindowHandle>(1),
                                reinterpret_cast<WindowHandle>(2), 800, 600, SDL_BUTTON_RMASK};
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
    EXPECT_EQ(translated(event(SDL_KEYDOWN, SDLK_F2, 0, 1)), Seen({0, 0x100, 113, 1 | 1 << 30}));
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
// Keys held from press to release. Space and the keypad act on every repeat: the scale 0.7, 0.4,
// 0.1, -0.2, 0.1 as double sums. The wheel: 120 away from the user is a plus, fractions add up,
// two notches two presses, the low word no turn. A right drag turns and tilts from the last move
// by a degree a pixel, unlimited; positions are 16-bit unsigned.
TEST(InputTest, KeysAndRightDragsActOnTheView) {
    Floats seen, wheeled, turns;  // turns: turn and tilt after each drag message
    for (WParam key : {VK_ESCAPE, VK_F1, WParam{'A'}, WParam{255}}) {
        window_proc(nullptr, WM_KEYDOWN, key, 0), seen.push_back(key_down[key]);
        window_proc(nullptr, WM_KEYUP, key, 0), seen.push_back(key_down[key]);
    }
    for (WParam key :
         {VK_SPACE, VK_SPACE, VK_SUBTRACT, VK_SUBTRACT, VK_SUBTRACT, VK_SUBTRACT, VK_ADD}) {
        window_proc(nullptr, WM_KEYDOWN, key, 1 | LParam{1} << 30);
        seen.push_back(key == VK_SPACE ? animating : view_scale);
    }
    EXPECT_EQ(seen, Floats({1, 0, 1, 0, 1, 0, 1, 0, 0, 1, 0x1.666666p-1f, 0x1.999998p-2f,
                            0x1.999994p-4f, -0x1.99999cp-3f, 0x1.999994p-4f}));
    view_scale = 1;
    for (int turn : {-120, -60, -60, -100, -20, -120, 240, 119, 1}) {
        window_proc(nullptr, WM_MOUSEWHEEL, WParam(make_lparam(0x0002, turn)), 0);
        wheeled.push_back(view_scale);
    }
    EXPECT_EQ(wheeled, Floats({0x1.666666p-1f, 0x1.666666p-1f, 0x1.999998p-2f, 0x1.999998p-2f,
                               0x1.999994p-4f, -0x1.99999cp-3f, 0x1.999998p-2f, 0x1.999998p-2f,
                               0x1.666666p-1f}));
    const int drag[][3] = {{WM_MOUSEMOVE, 100, 50}, {WM_RBUTTONDOWN, 300, 300},
                           {WM_MOUSEMOVE, 110, 45}, {WM_MOUSEMOVE, 90, 160},
                           {WM_RBUTTONUP, 0, 0},    {WM_MOUSEMOVE, 0, 0},
                           {WM_RBUTTONDOWN, 0, 0},  {WM_MOUSEMOVE, 0xFFFF, 0x8000}};
    for (const auto& [message, x, y] : drag) {
        EXPECT_EQ(window_proc(nullptr, message, 0, make_lparam(x, y)), 0);
        turns.insert(turns.end(), {view_turn, view_tilt});
    }
    EXPECT_EQ(turns, Floats({0, 22.5f, 0, 22.5f, 10, 17.5f, -10, 132.5f, -10, 132.5f, -10, 132.5f,
                             -10, 132.5f, 65525, 32900.5f}));
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
static bool open_window(bool full) { return open_main_window(window_title, 800, 600, 16, full); }
// The main window opened windowed with the pictures and given the keyboard, boxes recorded.
class WindowTest : public ::testing::Test {
   protected:
    void SetUp() override {
        static const bool display = start_xvfb("1024x768x24");  // before SDL starts
        ASSERT_TRUE(display);
        static ScratchDir pictures(true);
        ASSERT_EQ(chdir(pictures.path.c_str()), 0);
        x = XOpenDisplay(nullptr), seam::reset();
        ASSERT_TRUE(open_window(false));
        set_focus(window_handle);
        ASSERT_TRUE(wait_until(
            [] { return taken(1), SDL_GetKeyboardFocus() == window_handle->sdl_window; }));
    }
    void TearDown() override {
        close_main_window(), unregister_class("OpenGL", get_module_handle()), seam::reset();
        if (x != nullptr) XCloseDisplay(x);
    }
    static void push(std::uint32_t type, int a = 0, int b = 0, int c = 0) {
        SDL_Event e = event(type, a, b, c, SDL_GetWindowID(window_handle->sdl_window));
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
    MessageBoxRecorder boxes;
    Display* x = nullptr;  // the test's own connection
};
// A box drops presses, moves, the wheel and close requests, queued before it too; releases, sizes,
// redraws after; the window keeps the focus. A hang-up (as SIGINT, SIGTERM) closes after the box.
TEST_F(WindowTest, ABoxDropsPressesAndMovesAndKeepsReleasesSizesAndTheQuit) {
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
    EXPECT_TRUE(get_focus() == window_handle && quit_signalled());
    end_box_time();
    EXPECT_EQ(SDL_GetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS), nullptr);
    // F2, pressed since the last idle pass, is released after one (a tap within a frame is seen).
    EXPECT_EQ(taken(2), Seen({0x10100 | 0x20, 0x500, 0x20500, 0xF00, 0x1000, 0, 0x10100 | 113, 0}));
}
// The screen saver is held off only while focused and not minimised; text input is off. A click
// read with the focus coming in is kept (SDL drops those within 10 ms of it).
TEST_F(WindowTest, TheScreenSaverFollowsTheFocusAndAClickThatComesWithItIsKept) {
    EXPECT_FALSE(SDL_IsTextInputActive());
    disable_screen_saver();
    Seen enabled, buttons;
    for (int what : {SDL_WINDOWEVENT_FOCUS_GAINED, SDL_WINDOWEVENT_MINIMIZED,
                     SDL_WINDOWEVENT_RESTORED, SDL_WINDOWEVENT_FOCUS_LOST}) {
        push(SDL_WINDOWEVENT, what), taken(1);
        enabled.push_back(SDL_IsScreenSaverEnabled());
    }
    EXPECT_EQ(enabled, Seen({0, 1, 0, 1}));
    XWarpPointer(x, 0, named_window(window_title), 0, 0, 0, 0, 100, 100);
    XSetInputFocus(x, PointerRoot, RevertToPointerRoot, CurrentTime);
    XSync(x, False);
    ASSERT_TRUE(wait_until([] { return taken(1), SDL_GetKeyboardFocus() == nullptr; }));
    XSetInputFocus(x, named_window(window_title), RevertToParent, CurrentTime);
    XTestFakeButtonEvent(x, 1, True, CurrentTime), XTestFakeButtonEvent(x, 1, False, CurrentTime);
    XSync(x, False);
    for (long seen : taken(1))
        if (seen >> 8 == WM_LBUTTONDOWN || seen >> 8 == WM_LBUTTONUP) buttons.push_back(seen >> 8);
    EXPECT_EQ(buttons, Seen({WM_LBUTTONDOWN, WM_LBUTTONUP}));
}
// A window replaced as by F1 leaves no colormap behind. A box started from a thread that blocks and
// ignores the quit signals (as SDL's do) goes when the program that showed it is killed.
TEST_F(WindowTest, NoColormapOfAReplacedWindowNorTheBoxOfAKilledProgramStays) {
    auto colormaps = [this] {  // held by the client that made the window
        int types = 0, count = 0;
        XResType* type = nullptr;
        XResQueryClientResources(x, named_window(window_title), &types, &type);
        for (int t = 0; t < types; ++t)
            if (type[t].resource_type == XInternAtom(x, "COLORMAP", False)) count = type[t].count;
        XFree(type);
        return count;
    };
    const int before = colormaps();
    ASSERT_GE(before, 1);
    close_main_window();
    ASSERT_TRUE(open_window(false));
    EXPECT_EQ(colormaps(), before);
    const auto orphan_shown = [] { return named_window("Orphan") != 0; };
    const int program = fork();
    if (program == 0) {
        sigset_t quits;
        sigemptyset(&quits);
        for (int s : {SIGHUP, SIGINT, SIGTERM, SIGCHLD}) sigaddset(&quits, s), signal(s, SIG_IGN);
        pthread_sigmask(SIG_BLOCK, &quits, nullptr);
        start_box_process({"Orphan", "본문", MB_OK, 0, "x11"}), pause(), _exit(0);
    }
    ASSERT_TRUE(wait_until(orphan_shown));
    kill(program, SIGKILL), waitpid(program, nullptr, 0);
    EXPECT_TRUE(wait_until([&] { return !orphan_shown(); })) << "orphaned box";
    // A question closed by the window manager answers No.
    const int box = start_box_process({"Question", "본문", MB_YESNO, 0, "x11"});
    Window w = 0;
    ASSERT_TRUE(wait_until([&] { return (w = named_window("Question")) != 0; }));
    XEvent close{};
    close.xclient.type = ClientMessage, close.xclient.window = w, close.xclient.format = 32;
    close.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    close.xclient.data.l[0] = long(XInternAtom(x, "WM_DELETE_WINDOW", False));
    XSendEvent(x, w, False, NoEventMask, &close);
    int answer = XSync(x, False);
    EXPECT_TRUE(wait_until([&] { return wait_box_process(box, 0, &answer); }));
    EXPECT_EQ(answer, IDNO);
}
// The current `name` matrix; with an aspect ratio, first what gluPerspective makes of it.
static Floats matrix(GLenum name, double aspect = -1) {
    if (aspect >= 0) glLoadIdentity(), gluPerspective(45, aspect, double(0.1f), 100);
    Floats values(16);
    glGetFloatv(name, values.data());
    return values;
}
// Opening sets the render state on a double-buffered context. A size sets the viewport (height 0
// as 1), projection and aspect ratio, and selects an identity modelview. Paused, a pass swaps but
// draws (selecting outlines, undone here) only after a size change or an uncovering. Escape's pass,
// running or paused, ends the loop without a swap, but F2 to F5 act.
TEST_F(WindowTest, OpeningSetsTheStateSizesSetTheViewAndPassesDrawWhenRunningOrStale) {
    Ints state, modes;
    for (GLenum name : {GL_NORMALIZE, GL_DEPTH_TEST, GL_COLOR_MATERIAL, GL_LIGHTING, GL_LIGHT0,
                        GL_TEXTURE_2D, GL_DOUBLEBUFFER, GL_DEPTH_FUNC, GL_COLOR_MATERIAL_FACE,
                        GL_COLOR_MATERIAL_PARAMETER, GL_SHADE_MODEL})
        glGetIntegerv(name, &state.emplace_back(-1));
    EXPECT_EQ(state,
              Ints({1, 1, 1, 1, 1, 1, 1, GL_LEQUAL, GL_FRONT, GL_AMBIENT_AND_DIFFUSE, GL_SMOOTH}));
    const int sizes[][3] = {{800, 600, 600}, {123, 457, 457}, {640, 0, 1}, {0, 480, 480}};
    for (const auto& [width, height, viewport_height] : sizes) {
        glTranslatef(1.0f, 2.0f, 3.0f), glMatrixMode(GL_TEXTURE);
        EXPECT_EQ(window_proc(window_handle, WM_SIZE, 0, make_lparam(width, height)), 0);
        Ints got(5);  // the viewport, then the current matrix
        glGetIntegerv(GL_VIEWPORT, got.data()), glGetIntegerv(GL_MATRIX_MODE, &got[4]);
        EXPECT_EQ(got, Ints({0, 0, width, viewport_height, GL_MODELVIEW}));
        EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), matrix(GL_TEXTURE_MATRIX));  // the identity
        const double ratio = double(width) / viewport_height;
        EXPECT_EQ(aspect_ratio, float(ratio));
        EXPECT_EQ(matrix(GL_PROJECTION_MATRIX), matrix(GL_MODELVIEW_MATRIX, ratio));
    }
    animating = 0, lighting_on = texturing_on = 1, solid_fill = 0, sphere_mode = 2, seam::reset();
    EXPECT_EQ(window_proc(window_handle, WM_SIZE, 0, make_lparam(800, 600)), 0);
    for (int pass = 0; pass < 5; ++pass) {
        if (pass == 3) window_proc(window_handle, WM_PAINT, 0, 0);
        EXPECT_EQ(idle_pass(), IdleResult::keep_running);
        glGetIntegerv(GL_POLYGON_MODE, &modes.emplace_back()),
            glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }
    for (std::uint8_t running : {1, 0}) {
        animating = running;
        for (WParam key : {VK_ESCAPE, VK_F2, VK_F3, VK_F4, VK_F5}) key_down[key] = 1;
        EXPECT_EQ(idle_pass(), IdleResult::end_loop);
        EXPECT_EQ(Ints({lighting_on, texturing_on, solid_fill, sphere_mode}),
                  running ? Ints({0, 0, 1, 1}) : Ints({1, 1, 0, 2}));
        EXPECT_EQ(Ints({key_down[VK_F2], key_down[VK_F3], key_down[VK_F4], key_down[VK_F5]}),
                  Ints(4));
    }
    glGetIntegerv(GL_POLYGON_MODE, &modes.emplace_back());  // the running pass drew
    EXPECT_EQ(modes, Ints({GL_LINE, GL_FILL, GL_FILL, GL_LINE, GL_FILL, GL_LINE}));
    EXPECT_EQ(seam::held().swaps, 5);
}
// Each failing step shows its box; an opening releases what it got, nothing twice; a failed close
// keeps what it could not release but no handle.
TEST_F(WindowTest, EachFailingStepShowsItsBox) {
    const std::pair<std::string, std::string> failures[] = {
        {"register_class", "Failed To Register The Window Class."},
        {"create_window", "Window Creation Error."},
        {"get_dc", "Can't Create A GL Device Context."},
        {"choose_pixel_format", "Can't Find A Suitable PixelFormat."},
        {"set_pixel_format", "Can't Set The PixelFormat."},
        {"create_context", "Can't Create A GL Rendering Context."},
        {"make_current", "Can't Activate The GL Rendering Context."},
        {"make_current", "Release Of DC And RC Failed."},
        {"delete_context", "Release Rendering Context Failed."},
        {"release_dc", "Release Device Context Failed."},
        {"destroy_window", "Could Not Release hWnd."},
        {"unregister_class", "Could Not Unregister Class."}};
    for (const auto& [step, text] : failures) {
        const bool on_close = &text >= &failures[7].second;
        ASSERT_TRUE(window_handle != nullptr || open_window(false));
        const auto [window, context] = std::pair(window_handle, render_context);
        if (!on_close) close_main_window();
        boxes.clear(), seam::reset(), seam::fail_once(step);
        EXPECT_FALSE(on_close ? (close_main_window(), false) : open_window(false));
        const RecordedBox box = boxes.boxes.size() == 1 ? boxes.boxes[0] : RecordedBox{};
        EXPECT_EQ(box.text + " | " + box.caption + " | " + std::to_string(box.flags),
                  text + (on_close ? " | SHUTDOWN ERROR | 64" : " | ERROR | 48"));
        EXPECT_FALSE(window_handle || device_context || render_context || quadric) << text;
        EXPECT_EQ(on_close ? 0 : seam::held().things, 0) << text;
        if (on_close && step == "delete_context") delete_context(context);  // kept
        if (step == "destroy_window") destroy_window(window);               // kept
    }
}
static int test_rate = 0;  // while set, the refresh rate the layer reads of the window's display
extern "C" int SDL_GetCurrentDisplayMode(int display, SDL_DisplayMode* mode) {
    static auto real = reinterpret_cast<int (*)(int, SDL_DisplayMode*)>(dlsym(RTLD_NEXT, __func__));
    const int result = real(display, mode);
    if (result == 0 && test_rate > 0) mode->refresh_rate = test_rate;
    return result;
}
// The swaps of the loop run for `seconds`, its messages dispatched.
static int swaps_within(double seconds) {
    const int before = seam::held().swaps;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (Message message; std::chrono::steady_clock::now() < end; idle_pass())
        while (peek_message(&message)) dispatch_message(&message);
    return seam::held().swaps - before;
}
// Xvfb's swaps wait for nothing: paused, the loop presents about 60 frames a second, 10 on 10 Hz.
TEST_F(WindowTest, FramesArePacedToTheDisplaysRate) {
    animating = 0;
    EXPECT_LE(swaps_within(2), 200);
    test_rate = 10, push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_DISPLAY_CHANGED);
    EXPECT_LE(swaps_within(1), 20);
}
// On an 800x600 display full screen is granted and hides the cursor until it ends.
TEST(FullScreenTest, HidesTheCursorUntilItEnds) {
    ASSERT_TRUE(start_xvfb("800x600x24"));
    ScratchDir pictures(true);
    ASSERT_EQ(chdir(pictures.path.c_str()), 0);
    MessageBoxRecorder boxes;
    ASSERT_TRUE(open_window(true));
    EXPECT_EQ(Ints({fullscreen, SDL_ShowCursor(SDL_QUERY)}), Ints({1, SDL_DISABLE}));
    close_main_window(), unregister_class("OpenGL", get_module_handle());
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}
