// The window procedure's input, and the main window's render state, passes, pacing and failures
// on a 1024x768 display (no 800x600 mode).
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>

#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/window_proc.h"
#include "platform/sdl/sdl_windows.h"
#include "render/render_state.h"
#include "support/message_box_recorder.h"
#include "support/x11_harness.h"

using Floats = std::vector<GLfloat>;
using Ints = std::vector<int>;
using Texts = std::vector<std::string>;

// Keys held from press to release. Space and the keypad act on every repeat: the scale 0.7, 0.4,
// 0.1, -0.2, 0.1 as double sums. The wheel: 120 away from the user is a plus, fractions add up,
// two notches two presses, the low word no turn. A right drag turns and tilts from the last move
// by a degree a pixel, unlimited; positions are 16-bit unsigned.
TEST(InputTest, KeysAndRightDragsActOnTheView) {
    Floats seen;
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
    Floats wheeled;
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
    Floats turns;  // turn and tilt after each message
    for (const auto& [message, x, y] : drag) {
        EXPECT_EQ(window_proc(nullptr, message, 0, make_lparam(x, y)), 0);
        turns.insert(turns.end(), {view_turn, view_tilt});
    }
    EXPECT_EQ(turns, Floats({0, 22.5f, 0, 22.5f, 10, 17.5f, -10, 132.5f, -10, 132.5f, -10, 132.5f,
                             -10, 132.5f, 65525, 32900.5f}));
}

static bool open_window(bool full) { return open_main_window(window_title, 800, 600, 16, full); }

// The main window opened windowed with the pictures, boxes recorded.
class MainWindowTest : public ::testing::Test {
   protected:
    void SetUp() override {
        static XvfbDisplay display("1024x768x24");
        static ScratchDir pictures(ScratchDir::with_pictures);
        ASSERT_EQ(setenv("DISPLAY", display.name().c_str(), 1), 0);  // before SDL starts
        ASSERT_EQ(chdir(pictures.path().c_str()), 0);
        seam::reset();
        ASSERT_TRUE(open_window(false));
    }
    void TearDown() override {
        close_main_window(), unregister_class("OpenGL", get_module_handle()), seam::reset();
    }

    // "text | caption | flags" of each box shown so far; forgets them.
    Texts shown() {
        Texts texts;
        for (const RecordedBox& box : boxes.boxes())
            texts.push_back(box.text + " | " + box.caption + " | " + std::to_string(box.flags));
        boxes.clear();
        return texts;
    }
    MessageBoxRecorder boxes;
};

// A handle left set; the things held since the reset.
static Ints unreleased() {
    return {window_handle || device_context || render_context || quadric, seam::held().things};
}

// The current `name` matrix; with an aspect ratio, first what gluPerspective makes of it.
static Floats matrix(GLenum name, double aspect = -1) {
    if (aspect >= 0) glLoadIdentity(), gluPerspective(45, aspect, double(0.1f), 100);
    Floats values(16);
    glGetFloatv(name, values.data());
    return values;
}

// Opening sets the render state on a double-buffered context. A size sets the viewport (height 0
// as 1), projection and aspect ratio, and selects an identity modelview.
TEST_F(MainWindowTest, OpeningSetsTheRenderStateAndSizesSetTheView) {
    Ints state;
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
}

// Paused, a pass swaps but draws (selecting outlines, undone here) only after a size change or an
// uncovering. Escape's pass, running or paused, ends the loop without a swap, but F2 to F5 act.
TEST_F(MainWindowTest, PassesDrawWhenRunningOrStaleAndEscapeEndsThemWithoutASwap) {
    animating = 0, lighting_on = texturing_on = 1, solid_fill = 0, sphere_mode = 2, seam::reset();
    EXPECT_EQ(window_proc(window_handle, WM_SIZE, 0, make_lparam(800, 600)), 0);
    Ints modes;
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
// keeps what it could not release but no handle. No 800x600 mode: F1 answered No ends the loop at
// once, F2 pressed with it not acted on, the class left registered.
TEST_F(MainWindowTest, EachFailingStepShowsItsBox) {
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
        EXPECT_EQ(shown(), Texts({text + (on_close ? " | SHUTDOWN ERROR | 64" : " | ERROR | 48")}));
        EXPECT_EQ(on_close ? Ints{unreleased()[0]} : unreleased(), Ints(on_close ? 1 : 2)) << text;
        if (on_close && step == "delete_context") delete_context(context);  // kept
        if (step == "destroy_window") destroy_window(window);               // kept
    }
    unregister_class("OpenGL", get_module_handle()), seam::reset();  // kept by the last close
    boxes.answer_yes_no_with(IDNO), key_down[VK_F1] = key_down[VK_F2] = 1, lighting_on = 1;
    EXPECT_EQ(run_main_loop(), 0);
    EXPECT_EQ(shown(), Texts({"The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. "
                              "Use Windowed Mode Instead? | 2nd Term OpenGL Project | 52",
                              "Program Will Now Close. | ERROR | 16"}));
    EXPECT_EQ(unreleased(), Ints({0, 1}));
    EXPECT_EQ(Ints({key_down[VK_F2], lighting_on}), Ints({1, 1}));
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

// Xvfb's swaps wait for nothing: paused, the loop still presents about 60 frames a second, and
// about 10 once moved to a 10 Hz display.
TEST_F(MainWindowTest, FramesArePacedToTheDisplaysRate) {
    animating = 0;
    EXPECT_LE(swaps_within(2), 200);
    test_rate = 10;
    SDL_Event moved{SDL_WINDOWEVENT};
    moved.window.event = SDL_WINDOWEVENT_DISPLAY_CHANGED;
    moved.window.windowID = SDL_GetWindowID(window_handle->sdl_window);
    EXPECT_LE((SDL_PushEvent(&moved), swaps_within(1)), 20);
}

// On an 800x600 display full screen is granted and hides the cursor until it ends.
TEST(FullScreenTest, HidesTheCursorUntilItEnds) {
    XvfbDisplay display("800x600x24");
    ScratchDir pictures(ScratchDir::with_pictures);
    ASSERT_EQ(setenv("DISPLAY", display.name().c_str(), 1), 0);
    ASSERT_EQ(chdir(pictures.path().c_str()), 0);
    MessageBoxRecorder boxes;
    ASSERT_TRUE(open_window(true));
    EXPECT_EQ(fullscreen, 1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    close_main_window();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    unregister_class("OpenGL", get_module_handle());
}
