// Tests of the shell: the window procedure's input state, and the main window, render state and
// idle pass on a real window of a 1024x768x24 display (no 800x600 mode).
#include <gtest/gtest.h>
#include <unistd.h>

#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/window_proc.h"
#include "platform/sdl/test_hooks.h"
#include "render/render_state.h"
#include "support/message_box_recorder.h"
#include "support/x11_harness.h"

using Floats = std::vector<GLfloat>;
using Ints = std::vector<int>;
using Texts = std::vector<std::string>;

// The current `name` matrix; with an aspect ratio, first what gluPerspective makes of it.
static Floats matrix(GLenum name, double aspect = -1) {
    if (aspect >= 0) glLoadIdentity(), gluPerspective(45, aspect, double(0.1f), 100);
    Floats values(16);
    glGetFloatv(name, values.data());
    return values;
}

static bool open_window(bool full) { return open_main_window(window_title, 800, 600, 16, full); }

// "text | caption | flags" of each box shown so far; forgets them.
static Texts shown(MessageBoxRecorder* boxes) {
    Texts texts;
    for (const RecordedBox& box : boxes->boxes())
        texts.push_back(box.text + " | " + box.caption + " | " + std::to_string(box.flags));
    boxes->clear();
    return texts;
}

// A handle left set; windows, DCs, contexts, classes, display modes not released since the reset.
static Ints unreleased() {
    const PlatformCounts c = platform_counts();
    return Ints({window_handle || device_context || render_context || quadric,
                 c.windows_created - c.windows_destroyed, c.dcs_got - c.dcs_released,
                 c.contexts_created - c.contexts_deleted,
                 c.classes_registered - c.classes_unregistered,
                 c.display_mode_changes - c.display_mode_restores});
}

// Keys are recorded, but not space and keypad, which act on repeats; a right drag turns and tilts
// from the last move, not the press, positions 16-bit unsigned; a close request posts quit 0. On a
// window: the fixed state; sizes: viewport (height 0 as 1), projection, ratio, an identity
// modelview selected. Paused idle passes swap, drawing only once after a size change or expose;
// Escape's pass, running or paused, doesn't swap but does F2 to F5. Each failing step's box;
// openings (as after F1) release nothing twice; a failed close keeps what it could not release but
// no handle. The refused full-screen mode: Yes opens windowed with the focus, No closes; a failed
// re-opening after F1 returns at once.
TEST(ShellTest, InputRenderStateSizesIdlePassesAndFailures) {
    for (WParam key : {VK_ESCAPE, VK_F1, WParam{'A'}, VK_OEM_PLUS, VK_OEM_MINUS, WParam{255}}) {
        EXPECT_EQ(window_proc(nullptr, WM_KEYDOWN, key, 0) + key_down[key], 1) << key;
        EXPECT_EQ(window_proc(nullptr, WM_KEYUP, key, 0) + key_down[key], 0) << key;
    }
    Floats seen;  // animating after each space, the scale after each keypad key, all repeats
    for (WParam key :
         {VK_SPACE, VK_SPACE, VK_SUBTRACT, VK_SUBTRACT, VK_SUBTRACT, VK_SUBTRACT, VK_ADD}) {
        window_proc(nullptr, WM_KEYDOWN, key, 1 | LParam{1} << 30);
        seen.push_back(key == VK_SPACE ? animating : view_scale);
    }
    // 0.7, 0.4, 0.1, -0.2 and 0.1 again: double sums, not float ones nor nearest floats.
    EXPECT_EQ(seen, Floats({0, 1, 0x1.666666p-1f, 0x1.999998p-2f, 0x1.999994p-4f, -0x1.99999cp-3f,
                            0x1.999994p-4f}));

    const int drag[][3] = {{WM_MOUSEMOVE, 100, 50}, {WM_RBUTTONDOWN, 300, 300},
                           {WM_MOUSEMOVE, 110, 45}, {WM_MOUSEMOVE, 90, 160},
                           {WM_RBUTTONUP, 0, 0},    {WM_MOUSEMOVE, 0, 0},
                           {WM_RBUTTONDOWN, 0, 0},  {WM_MOUSEMOVE, 0xFFFF, 0x8000}};
    seen.clear();  // turn and tilt after each message; tilt is not limited
    for (const auto& [message, x, y] : drag) {
        EXPECT_EQ(window_proc(nullptr, message, 0, make_lparam(x, y)), 0);
        seen.insert(seen.end(), {view_turn, view_tilt});
    }
    EXPECT_EQ(seen, Floats({0, 22.5f, 0, 22.5f, 10, 17.5f, -10, 132.5f, -10, 132.5f, -10, 132.5f,
                            -10, 132.5f, 65525, 32900.5f}));
    EXPECT_EQ(window_proc(nullptr, WM_CLOSE, 0, 0), 0);
    Message message{};
    EXPECT_TRUE(peek_message(&message) && message.message == WM_QUIT && message.w_param == 0 &&
                !peek_message(&message));
    static XvfbDisplay display("1024x768x24");              // no 800x600 mode
    static ScratchDir pictures(ScratchDir::with_pictures);  // no bitmap boxes
    MessageBoxRecorder boxes;
    setenv("DISPLAY", display.name().c_str(), 1);  // before anything uses SDL
    ASSERT_EQ(chdir(pictures.path().c_str()), 0);
    ASSERT_TRUE(open_window(false));
    Ints state;
    for (GLenum name :
         {GL_NORMALIZE, GL_DEPTH_TEST, GL_COLOR_MATERIAL, GL_LIGHTING, GL_LIGHT0, GL_TEXTURE_2D,
          GL_DEPTH_FUNC, GL_COLOR_MATERIAL_FACE, GL_COLOR_MATERIAL_PARAMETER, GL_SHADE_MODEL})
        glGetIntegerv(name, &state.emplace_back(-1));
    EXPECT_EQ(state,
              Ints({1, 1, 1, 1, 1, 1, GL_LEQUAL, GL_FRONT, GL_AMBIENT_AND_DIFFUSE, GL_SMOOTH}));
    const int sizes[][3] = {{800, 600, 600}, {123, 457, 457}, {640, 0, 1}, {0, 480, 480}};
    for (const auto& [width, height, viewport_height] : sizes) {
        glTranslatef(1.0f, 2.0f, 3.0f), glMatrixMode(GL_TEXTURE);  // left dirty
        EXPECT_EQ(window_proc(window_handle, WM_SIZE, 0, make_lparam(width, height)), 0);
        Ints got(5);  // the viewport, then the current matrix
        glGetIntegerv(GL_VIEWPORT, got.data()), glGetIntegerv(GL_MATRIX_MODE, &got[4]);
        EXPECT_EQ(got, Ints({0, 0, width, viewport_height, GL_MODELVIEW}));
        EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), matrix(GL_TEXTURE_MATRIX));  // the identity
        const double ratio = double(width) / viewport_height;
        EXPECT_EQ(aspect_ratio, float(ratio));
        EXPECT_EQ(matrix(GL_PROJECTION_MATRIX), matrix(GL_MODELVIEW_MATRIX, ratio));
    }

    // Paused, a pass draws only after a size change (above) or an uncovering (before the
    // fourth): a drawn frame selects outlines, which each pass here undoes.
    animating = 0, solid_fill = 0, sphere_mode = 2;
    Ints modes;
    for (int pass = 0; pass < 5; ++pass) {
        if (pass == 3) {
            EXPECT_EQ(window_proc(window_handle, WM_PAINT, 0, 0), 0);
        }
        EXPECT_EQ(idle_pass(), IdleResult::keep_running);
        glGetIntegerv(GL_POLYGON_MODE, &state[0]), glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        modes.push_back(state[0]);
    }
    EXPECT_EQ(modes, Ints({GL_LINE, GL_FILL, GL_FILL, GL_LINE, GL_FILL}));
    EXPECT_EQ(platform_counts().swaps, 5);
    for (std::uint8_t running : {1, 0}) {
        animating = running;
        for (WParam key : {VK_ESCAPE, VK_F2, VK_F3, VK_F4, VK_F5}) key_down[key] = 1;
        EXPECT_EQ(idle_pass(), IdleResult::end_loop);
        EXPECT_EQ(Ints({lighting_on + texturing_on + solid_fill, sphere_mode,
                        key_down[VK_F2] + key_down[VK_F3] + key_down[VK_F4] + key_down[VK_F5]}),
                  Ints({running ? 1 : 2, running ? 1 : 2, 0}));
    }
    glGetIntegerv(GL_POLYGON_MODE, &state[0]);  // the running pass drew
    EXPECT_EQ(Ints({state[0], platform_counts().swaps}), Ints({GL_LINE, 5}));
    const std::pair<PlatformStep, std::string> failures[] = {
        {PlatformStep::register_class, "Failed To Register The Window Class."},
        {PlatformStep::create_window, "Window Creation Error."},
        {PlatformStep::get_dc, "Can't Create A GL Device Context."},
        {PlatformStep::choose_pixel_format, "Can't Find A Suitable PixelFormat."},
        {PlatformStep::set_pixel_format, "Can't Set The PixelFormat."},
        {PlatformStep::create_context, "Can't Create A GL Rendering Context."},
        {PlatformStep::make_current, "Can't Activate The GL Rendering Context."},
        {PlatformStep::make_current, "Release Of DC And RC Failed."},
        {PlatformStep::delete_context, "Release Rendering Context Failed."},
        {PlatformStep::release_dc, "Release Device Context Failed."},
        {PlatformStep::destroy_window, "Could Not Release hWnd."},
        {PlatformStep::unregister_class, "Could Not Unregister Class."}};
    for (const auto& [step, text] : failures) {
        const bool on_close = &text >= &failures[7].second;
        ASSERT_TRUE(window_handle != nullptr || open_window(false));
        const auto [window, context] = std::pair(window_handle, render_context);
        if (!on_close) close_main_window();
        boxes.clear(), platform_reset_counts(), platform_fail_step(step);
        EXPECT_FALSE(on_close ? (close_main_window(), false) : open_window(false));
        EXPECT_EQ(shown(&boxes),
                  Texts({text + (on_close ? " | SHUTDOWN ERROR | 64" : " | ERROR | 48")}));
        EXPECT_EQ(on_close ? Ints{unreleased()[0]} : unreleased(), Ints(on_close ? 1 : 6)) << text;
        if (on_close && step == PlatformStep::delete_context) delete_context(context);  // kept
        if (step == PlatformStep::destroy_window) destroy_window(window);               // kept
    }

    const std::string question =
        "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode "
        "Instead? | 2nd Term OpenGL Project | 52";
    unregister_class("OpenGL", get_module_handle()), platform_reset_counts();
    ASSERT_TRUE(open_window(true));
    EXPECT_EQ(get_focus(), window_handle);
    EXPECT_EQ(fullscreen + platform_counts().display_mode_changes, 0);
    key_down[VK_F1] = key_down[VK_F2] = 1;
    platform_fail_step(PlatformStep::create_window);
    EXPECT_EQ(idle_pass(), IdleResult::return_now);
    EXPECT_EQ(shown(&boxes), Texts({question, question, "Window Creation Error. | ERROR | 48"}));
    EXPECT_EQ(unreleased(), Ints(6));

    boxes.answer_yes_no_with(IDNO), platform_reset_counts();
    key_down[VK_F1] = 1;
    EXPECT_EQ(run_main_loop(), 0);
    EXPECT_EQ(shown(&boxes), Texts({question, "Program Will Now Close. | ERROR | 16"}));
    EXPECT_EQ(unreleased(), Ints({0, 0, 0, 0, 1, 0}));  // No leaves the class registered
    EXPECT_EQ(key_down[VK_F2] + lighting_on, 2);
}
