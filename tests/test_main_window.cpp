// Tests of the shell: the window procedure's input state, and the main window, render state and
// idle pass on a real window of a 1024x768x24 display (no 800x600 mode).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/window_proc.h"
#include "platform/platform_counts.h"
#include "render/render_state.h"
#include "scene/catalogue.h"
#include "support/message_box_recorder.h"
#include "support/x11_harness.h"

using Matrix = std::vector<GLfloat>;

static Matrix matrix(GLenum which) {
    Matrix m(16);
    glGetFloatv(which, m.data());
    return m;
}

// What gluPerspective builds for an aspect ratio, the float near plane 0.1 widened.
static Matrix perspective(double aspect) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, aspect, static_cast<double>(0.1f), 100.0);
    return matrix(GL_PROJECTION_MATRIX);
}

static bool open_window(bool full_screen = false) {
    return open_main_window(window_title, 800, 600, 16, full_screen);
}

// "text | caption | flags"; the boxes have no owner.
static std::string shown(const RecordedBox& box) {
    return box.text + " | " + box.caption + " | " + std::to_string(box.flags) +
           (box.owner != nullptr ? " | owned" : "");
}

// All handles cleared and, with `balanced`, each acquisition released once.
static void expect_released(bool balanced) {
    EXPECT_FALSE(window_handle || device_context || render_context || quadric);
    const PlatformCounts c = platform_counts();
    if (!balanced) return;
    EXPECT_EQ(std::vector<int>({c.windows_created, c.dcs_got, c.contexts_created,
                                c.classes_registered, c.display_mode_changes}),
              std::vector<int>({c.windows_destroyed, c.dcs_released, c.contexts_deleted,
                                c.classes_unregistered, c.display_mode_restores}));
}

class ShellTest : public ::testing::Test {
   protected:
    static void SetUpTestSuite() {
        static XvfbDisplay display("1024x768x24");
        static ScratchDir pictures(ScratchDir::with_pictures);  // no bitmap error boxes
        setenv("DISPLAY", display.name().c_str(), 1);           // before anything uses SDL
        ASSERT_EQ(chdir(pictures.path().c_str()), 0);
    }
    void SetUp() override {
        for (std::uint8_t& key : key_down) key = 0;
        platform_reset_counts();
        ASSERT_TRUE(open_window());
    }
    void TearDown() override {
        close_main_window();
        unregister_class("OpenGL", get_module_handle());  // left by a refused opening
    }
    MessageBoxRecorder boxes;
};

// Yes to the refused mode opens windowed, every handle set, no mode change.
TEST_F(ShellTest, RefusedFullScreenAnsweredYesOpensWindowed) {
    close_main_window();
    ASSERT_TRUE(open_window(true));
    EXPECT_TRUE(instance_handle && window_handle && device_context && render_context && quadric);
    EXPECT_EQ(get_focus(), window_handle);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(shown(boxes.boxes()[0]),
              "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed "
              "Mode Instead? | 2nd Term OpenGL Project | 52");
    EXPECT_EQ(fullscreen + platform_counts().display_mode_changes, 0);
    close_main_window();
    expect_released(true);
}

// Each failing step's box; openings (as after F1) release nothing twice.
TEST_F(ShellTest, EachFailingStepShowsItsBoxAndReleasesNothingTwice) {
    const std::pair<PlatformStep, std::string> failures[] = {
        {PlatformStep::register_class, "Failed To Register The Window Class. | ERROR | 48"},
        {PlatformStep::create_window, "Window Creation Error. | ERROR | 48"},
        {PlatformStep::get_dc, "Can't Create A GL Device Context. | ERROR | 48"},
        {PlatformStep::choose_pixel_format, "Can't Find A Suitable PixelFormat. | ERROR | 48"},
        {PlatformStep::set_pixel_format, "Can't Set The PixelFormat. | ERROR | 48"},
        {PlatformStep::create_context, "Can't Create A GL Rendering Context. | ERROR | 48"},
        {PlatformStep::make_current, "Can't Activate The GL Rendering Context. | ERROR | 48"},
        {PlatformStep::make_current, "Release Of DC And RC Failed. | SHUTDOWN ERROR | 64"},
        {PlatformStep::delete_context, "Release Rendering Context Failed. | SHUTDOWN ERROR | 64"},
        {PlatformStep::release_dc, "Release Device Context Failed. | SHUTDOWN ERROR | 64"},
        {PlatformStep::destroy_window, "Could Not Release hWnd. | SHUTDOWN ERROR | 64"},
        {PlatformStep::unregister_class, "Could Not Unregister Class. | SHUTDOWN ERROR | 64"},
    };
    for (const auto& [step, box] : failures) {
        SCOPED_TRACE(box);
        const bool on_close = box.find("SHUTDOWN") != std::string::npos;
        ASSERT_TRUE(window_handle != nullptr || open_window());
        WindowHandle window = window_handle;
        RenderContextHandle context = render_context;
        if (!on_close) close_main_window();
        boxes.clear();
        platform_reset_counts();
        platform_fail_step(step);
        if (on_close) close_main_window();
        EXPECT_FALSE(!on_close && open_window());
        ASSERT_EQ(boxes.boxes().size(), 1u);
        EXPECT_EQ(shown(boxes.boxes()[0]), box);
        expect_released(!on_close);
        if (on_close && step == PlatformStep::delete_context) delete_context(context);  // kept
        if (step == PlatformStep::destroy_window) destroy_window(window);               // kept
    }
}

// The fixed state; size messages: viewport (height 0 as 1), ratios, identity modelview.
TEST_F(ShellTest, RenderStateAndSizeMessages) {
    auto get = [](GLenum name) {
        GLint value = -1;
        glGetIntegerv(name, &value);
        return value;
    };
    for (GLenum cap : {GL_NORMALIZE, GL_DEPTH_TEST, GL_COLOR_MATERIAL, GL_LIGHTING, GL_LIGHT0,
                       GL_LIGHT1, GL_TEXTURE_2D}) {
        EXPECT_EQ(get(cap), 1) << std::hex << cap;
    }
    EXPECT_EQ(
        std::vector<GLint>({get(GL_DEPTH_FUNC), get(GL_COLOR_MATERIAL_FACE),
                            get(GL_COLOR_MATERIAL_PARAMETER), get(GL_SHADE_MODEL),
                            get(GL_PERSPECTIVE_CORRECTION_HINT)}),
        std::vector<GLint>({GL_LEQUAL, GL_FRONT, GL_AMBIENT_AND_DIFFUSE, GL_SMOOTH, GL_NICEST}));

    EXPECT_EQ(static_cast<double>(near_plane), 0.10000000149011612);
    const struct {
        int width, height, viewport_height;
        bool float_ratio_differs;
    } cases[] = {{800, 600, 600, false}, {800, 601, 601, true}, {123, 457, 457, true},
                 {640, 0, 1, false},     {0, 0, 1, false},      {0, 480, 480, false}};
    for (const auto& c : cases) {
        glMatrixMode(GL_MODELVIEW);  // left dirty
        glTranslatef(1.0f, 2.0f, 3.0f);
        EXPECT_EQ(window_proc(window_handle, WM_SIZE, 0, make_lparam(c.width, c.height)), 0);
        GLint state[5];  // the viewport, then the current matrix
        glGetIntegerv(GL_VIEWPORT, state);
        glGetIntegerv(GL_MATRIX_MODE, state + 4);
        EXPECT_EQ(std::vector<GLint>(state, state + 5),
                  std::vector<GLint>({0, 0, c.width, c.viewport_height, GL_MODELVIEW}));
        EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX),
                  Matrix({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
        const double ratio = static_cast<double>(c.width) / c.viewport_height;
        EXPECT_EQ(aspect_ratio, static_cast<float>(ratio));
        const Matrix projection = matrix(GL_PROJECTION_MATRIX);
        EXPECT_EQ(projection, perspective(ratio));
        EXPECT_TRUE(!c.float_ratio_differs || projection != perspective(static_cast<float>(ratio)));
    }
}

// Paused passes swap without drawing; F5 flips only 1 and 2; Escape's pass doesn't swap but does
// F2-F5.
TEST_F(ShellTest, IdlePass) {
    animating = 0, solid_fill = 0;  // a drawn frame would select outlines
    const double orbit = earth_orbit;
    const int cases[][2] = {{2, 1}, {0, 0}, {3, 3}, {-1, -1}, {1, 2}};
    for (const auto& [from, to] : cases) {
        sphere_mode = from;
        key_down[VK_F5] = 1;
        EXPECT_EQ(idle_pass(), IdleResult::keep_running);
        EXPECT_EQ(sphere_mode, to) << "from " << from;
    }
    GLint polygon_mode[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, polygon_mode);
    EXPECT_EQ(polygon_mode[0], GL_FILL);
    EXPECT_EQ(earth_orbit, orbit);
    EXPECT_EQ(platform_counts().swaps, 5);
    solid_fill = 1;
    for (std::uint8_t running : {1, 0}) {
        animating = running;
        for (WParam key : {VK_ESCAPE, VK_F2, VK_F3, VK_F4, VK_F5}) key_down[key] = 1;
        EXPECT_EQ(idle_pass(), IdleResult::end_loop);
        EXPECT_EQ(lighting_on + texturing_on + solid_fill, running ? 0 : 3);
        EXPECT_EQ(sphere_mode, running ? 1 : 2);
        EXPECT_EQ(key_down[VK_F2] + key_down[VK_F3] + key_down[VK_F4] + key_down[VK_F5], 0);
    }
    EXPECT_EQ(platform_counts().swaps, 5);
    EXPECT_NE(earth_orbit, orbit);  // the running pass drew
}

// A failed re-opening after F1 (Yes, then No) returns at once, without another close.
TEST_F(ShellTest, FailedReopeningAfterF1ReturnsWithoutAnotherClose) {
    key_down[VK_F1] = key_down[VK_F2] = 1;
    platform_fail_step(PlatformStep::create_window);
    EXPECT_EQ(idle_pass(), IdleResult::return_now);
    ASSERT_EQ(boxes.boxes().size(), 2u);  // the question, answered Yes, then:
    EXPECT_EQ(boxes.boxes()[1].text, "Window Creation Error.");
    expect_released(true);

    boxes.answer_yes_no_with(IDNO);
    platform_reset_counts();
    key_down[VK_F1] = 1;
    EXPECT_EQ(run_main_loop(), 0);
    ASSERT_EQ(boxes.boxes().size(), 4u);
    EXPECT_EQ(shown(boxes.boxes()[3]), "Program Will Now Close. | ERROR | 16");
    EXPECT_EQ(key_down[VK_F2] + lighting_on, 2);
    const PlatformCounts c = platform_counts();  // No leaves the class registered
    EXPECT_EQ(std::vector<int>({c.windows_created, c.windows_destroyed, c.classes_registered,
                                c.classes_unregistered}),
              std::vector<int>({1, 1, 2, 1}));
}

static LResult send(std::uint32_t message, WParam w_param = 0, LParam l_param = 0) {
    return window_proc(nullptr, message, w_param, l_param);
}

// Keys are recorded (codes past the table ignored), but not space and keypad, which act on repeats.
TEST(WindowProcTest, KeyTableSpaceAndKeypad) {
    for (WParam key : {VK_ESCAPE, VK_F1, WParam{'A'}, VK_OEM_PLUS, VK_OEM_MINUS, WParam{255}}) {
        EXPECT_EQ(send(WM_KEYDOWN, key), 0);
        EXPECT_EQ(key_down[key], 1) << key;
        EXPECT_EQ(send(WM_KEYUP, key), 0);
        EXPECT_EQ(key_down[key], 0) << key;
    }
    for (WParam code : {WParam{256}, WParam{0x10000} + VK_ADD, ~WParam{0}}) send(WM_KEYDOWN, code);
    EXPECT_EQ(view_scale, 1.0f);
    const LParam repeat = 1 | LParam{1} << 30;  // the key was already down
    send(WM_KEYDOWN, VK_SPACE, repeat);
    EXPECT_EQ(animating, 0);
    send(WM_KEYDOWN, VK_SPACE, repeat);
    EXPECT_EQ(animating, 1);
    // 0.7, 0.4, 0.1, -0.2 and 0.1 again: double sums, not float ones nor nearest floats.
    for (float expected : {0x1.666666p-1f, 0x1.999998p-2f, 0x1.999994p-4f, -0x1.99999cp-3f}) {
        send(WM_KEYDOWN, VK_SUBTRACT, repeat);
        EXPECT_EQ(view_scale, expected);
    }
    send(WM_KEYDOWN, VK_ADD, repeat);
    EXPECT_EQ(view_scale, 0x1.999994p-4f);
    EXPECT_EQ(std::count(std::begin(key_down), std::end(key_down), 0), 256);
}

// A right drag turns and tilts from the last move (not the press); positions are 16-bit unsigned.
TEST(WindowProcTest, RightDragTurnsAndTiltsFromTheLastMove) {
    struct {
        std::uint32_t message;
        int x, y;
        float turn, tilt;
    } const steps[] = {
        {WM_MOUSEMOVE, 100, 50, 0.0f, 22.5f},  // no drag: only recorded
        {WM_RBUTTONDOWN, 300, 300, 0.0f, 22.5f}, {WM_MOUSEMOVE, 110, 45, 10.0f, 17.5f},
        {WM_MOUSEMOVE, 90, 160, -10.0f, 132.5f},  // tilt is not limited
        {WM_RBUTTONUP, 0, 0, -10.0f, 132.5f},    {WM_MOUSEMOVE, 0, 0, -10.0f, 132.5f},
        {WM_RBUTTONDOWN, 0, 0, -10.0f, 132.5f},  {WM_MOUSEMOVE, 0xFFFF, 0x8000, 65525.0f, 32900.5f},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(send(step.message, 0, make_lparam(step.x, step.y)), 0);
        EXPECT_EQ(std::vector<float>({view_turn, view_tilt}),
                  std::vector<float>({step.turn, step.tilt}))
            << step.message << " to " << step.x << ", " << step.y;
    }
    EXPECT_EQ(std::vector<int>({mouse_x, mouse_y, last_mouse_x, last_mouse_y}),
              std::vector<int>({0xFFFF, 0x8000, 0xFFFF, 0x8000}));
}

// A close request posts quit 0; screen saver and monitor power are refused.
TEST(WindowProcTest, CloseAndSystemCommands) {
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_SCREENSAVE) + send(WM_SYSCOMMAND, SC_MONITORPOWER), 0);
    EXPECT_EQ(send(WM_CLOSE), 0);
    Message message{};
    EXPECT_TRUE(peek_message(&message) && message.message == WM_QUIT && message.w_param == 0 &&
                !peek_message(&message));
}
