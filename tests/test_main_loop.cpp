// Tests of the message loop: the idle pass (drawing, Escape, F1 to F5) on an
// offscreen context, and the whole loop with a real window under Xvfb.
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>

#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/window_proc.h"
#include "platform/platform_counts.h"
#include "render/render_state.h"
#include "scene/catalogue.h"
#include "support/message_box_recorder.h"
#include "support/offscreen_gl.h"
#include "support/x11_harness.h"

static void reset_loop_state() {
    std::memset(key_down, 0, sizeof key_down);
    fullscreen = 0;
    lighting_on = texturing_on = solid_fill = 1;
    sphere_mode = 1;
    animating = 1;
    Message message;
    while (peek_message(&message)) {
    }
}

// The idle pass on an offscreen context; there is no window, so the swap
// has no target.
class IdlePassTest : public ::testing::Test {
   protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok());
        reset_loop_state();
        quadric = gluNewQuadric();
    }
    void TearDown() override {
        gluDeleteQuadric(quadric);
        quadric = nullptr;
        reset_loop_state();
    }
    OffscreenGl gl{64, 48};
};

TEST_F(IdlePassTest, DrawsOnlyWhileAnimatingAndEscapeEndsTheLoopEitherWay) {
    double before = earth_orbit;
    EXPECT_EQ(idle_pass(), IdleResult::keep_running);
    EXPECT_NE(earth_orbit, before);

    animating = 0;
    before = earth_orbit;
    platform_reset_counts();
    EXPECT_EQ(idle_pass(), IdleResult::keep_running);
    EXPECT_EQ(earth_orbit, before);
    EXPECT_EQ(platform_counts().swaps, 1);  // paused: no frame, but still a swap

    for (std::uint8_t running : {0, 1}) {
        animating = running;
        key_down[VK_ESCAPE] = 1;
        EXPECT_EQ(idle_pass(), IdleResult::end_loop);
        EXPECT_EQ(key_down[VK_ESCAPE], 1);  // held keys other than F1 to F5 stay set
    }
    EXPECT_EQ(platform_counts().swaps, 1);  // the passes that end the loop do not swap
}

TEST_F(IdlePassTest, FunctionKeysActInThePassThatEndsTheLoop) {
    key_down[VK_ESCAPE] = key_down[VK_F2] = key_down[VK_F3] = key_down[VK_F4] = 1;
    key_down[VK_F5] = 1;
    EXPECT_EQ(idle_pass(), IdleResult::end_loop);
    EXPECT_EQ(lighting_on + texturing_on + solid_fill, 0);
    EXPECT_EQ(sphere_mode, 2);
    EXPECT_EQ(key_down[VK_F2] + key_down[VK_F3] + key_down[VK_F4] + key_down[VK_F5], 0);
}

TEST_F(IdlePassTest, AFunctionKeyActsOncePerPassThatFindsItSet) {
    key_down[VK_F2] = 1;
    idle_pass();
    EXPECT_EQ(lighting_on, 0);
    EXPECT_EQ(key_down[VK_F2], 0);
    idle_pass();  // cleared: no second toggle
    EXPECT_EQ(lighting_on, 0);
    key_down[VK_F2] = 1;  // auto-repeat sets it again
    idle_pass();
    EXPECT_EQ(lighting_on, 1);
}

TEST_F(IdlePassTest, F5ExchangesOneAndTwoAndLeavesOtherValues) {
    animating = 0;  // a mode outside 1 and 2 would draw no spheres anyway
    const std::int32_t cases[][2] = {{1, 2}, {2, 1}, {0, 0}, {3, 3}, {-1, -1}};
    for (const auto& c : cases) {
        sphere_mode = c[0];
        key_down[VK_F5] = 1;
        idle_pass();
        EXPECT_EQ(sphere_mode, c[1]) << "from " << c[0];
        EXPECT_EQ(key_down[VK_F5], 0);
    }
}

// ---------------------------------------------------------------------------
// With a real window on a private 1024x768x24 display, which offers no
// 800x600 mode, so every full-screen request is refused.

class MainLoopWindowTest : public ::testing::Test {
   protected:
    static void SetUpTestSuite() {
        display = new XvfbDisplay("1024x768x24");
        display->make_default();
    }
    static void TearDownTestSuite() {
        delete display;
        display = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(display->ok());
        ASSERT_NE(getcwd(previous_dir, sizeof previous_dir), nullptr);
        ASSERT_EQ(chdir(pictures.path().c_str()), 0);
        reset_loop_state();
        platform_clear_faults();
        platform_reset_counts();
    }
    void TearDown() override {
        close_main_window();
        // A refused opening leaves the class registered.
        unregister_class("OpenGL", get_module_handle());
        reset_loop_state();
        EXPECT_EQ(chdir(previous_dir), 0);
    }
    static void expect_each_handle_released_once(const PlatformCounts& counts) {
        EXPECT_EQ(counts.windows_destroyed, counts.windows_created);
        EXPECT_EQ(counts.dcs_released, counts.dcs_got);
        EXPECT_EQ(counts.contexts_deleted, counts.contexts_created);
        EXPECT_EQ(counts.classes_unregistered, counts.classes_registered);
        EXPECT_EQ(window_handle, nullptr);
        EXPECT_EQ(device_context, nullptr);
        EXPECT_EQ(render_context, nullptr);
        EXPECT_EQ(quadric, nullptr);
    }

    static XvfbDisplay* display;
    ScratchDir pictures{ScratchDir::with_pictures};
    char previous_dir[4096] = {};
    MessageBoxRecorder boxes;
};
XvfbDisplay* MainLoopWindowTest::display = nullptr;

TEST_F(MainLoopWindowTest, FailedReopeningAfterF1ReturnsNowWithEverythingReleasedOnce) {
    ASSERT_TRUE(open_main_window(window_title, 800, 600, 16, false));
    key_down[VK_F1] = 1;
    key_down[VK_F2] = 1;
    platform_fail_step(PlatformStep::create_window);

    EXPECT_EQ(idle_pass(), IdleResult::return_now);

    EXPECT_EQ(key_down[VK_F1], 0);
    EXPECT_EQ(key_down[VK_F2], 1);  // no key is tested after the failure
    EXPECT_EQ(lighting_on, 1);
    ASSERT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(boxes.boxes()[0].caption, "2nd Term OpenGL Project");  // answered Yes
    EXPECT_EQ(boxes.boxes()[1].text, "Window Creation Error.");
    PlatformCounts counts = platform_counts();
    EXPECT_EQ(counts.windows_created, 1);
    EXPECT_EQ(counts.classes_registered, 2);
    expect_each_handle_released_once(counts);
}

TEST_F(MainLoopWindowTest, RefusedReopeningEndsTheProgramWithZeroAndNoFurtherClose) {
    boxes.answer_yes_no_with(IDNO);
    key_down[VK_F1] = 1;
    key_down[VK_F2] = 1;

    EXPECT_EQ(run_main_loop(), 0);

    ASSERT_EQ(boxes.boxes().size(), 2u);
    EXPECT_EQ(boxes.boxes()[1].text, "Program Will Now Close.");
    EXPECT_EQ(lighting_on, 1);
    // The F1 close released the first window; the refused opening's class
    // registration is left as it is, so no close ran after it.
    PlatformCounts counts = platform_counts();
    EXPECT_EQ(counts.windows_created, 1);
    EXPECT_EQ(counts.windows_destroyed, 1);
    EXPECT_EQ(counts.classes_registered, 2);
    EXPECT_EQ(counts.classes_unregistered, 1);
}

TEST_F(MainLoopWindowTest, LoopEndsOnQuitWithItsCodeOrOnEscapeWithZeroAndClosesOnce) {
    post_quit_message(7);
    EXPECT_EQ(run_main_loop(), 7);
    expect_each_handle_released_once(platform_counts());

    platform_reset_counts();
    animating = 0;
    key_down[VK_ESCAPE] = 1;
    EXPECT_EQ(run_main_loop(), 0);
    PlatformCounts counts = platform_counts();
    EXPECT_EQ(counts.windows_created, 1);
    expect_each_handle_released_once(counts);
    EXPECT_TRUE(boxes.boxes().empty());
}
