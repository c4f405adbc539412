// Tests of opening and closing the main window on a private X display: the
// failure boxes of every step, balanced releases, and the refused full-screen
// mode (a 1024x768x24 display offers no 800x600 mode).
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "app/main_loop.h"
#include "app/main_window.h"
#include "platform/platform_counts.h"
#include "render/render_state.h"
#include "support/message_box_recorder.h"
#include "support/x11_harness.h"

static const char* const fallback_question =
    "The Requested Fullscreen Mode Is Not Supported By\n"
    "Your Video Card. Use Windowed Mode Instead?";

static bool open_window(bool full_screen = false) {
    return open_main_window(window_title, 800, 600, 16, full_screen);
}

class MainWindowTest : public ::testing::Test {
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
        fullscreen = 0;
        platform_clear_faults();
        platform_reset_counts();
    }
    void TearDown() override {
        platform_clear_faults();
        close_main_window();
        unregister_class("OpenGL", get_module_handle());  // left by a refused opening
        fullscreen = 0;
        EXPECT_EQ(chdir(previous_dir), 0);
    }

    static void expect_box(const RecordedBox& box, const std::string& text,
                           const std::string& caption, unsigned flags) {
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, caption);
        EXPECT_EQ(box.flags, flags);
        EXPECT_EQ(box.owner, nullptr);
    }
    static void expect_all_released_once() {
        PlatformCounts counts = platform_counts();
        EXPECT_EQ(counts.windows_destroyed, counts.windows_created);
        EXPECT_EQ(counts.dcs_released, counts.dcs_got);
        EXPECT_EQ(counts.contexts_deleted, counts.contexts_created);
        EXPECT_EQ(counts.classes_unregistered, counts.classes_registered);
        EXPECT_EQ(counts.cursor_shows, counts.cursor_hides);
        EXPECT_EQ(counts.display_mode_restores, counts.display_mode_changes);
        EXPECT_EQ(instance_handle, nullptr);
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
XvfbDisplay* MainWindowTest::display = nullptr;

static void expect_800x600_at_origin(XvfbDisplay& display) {
    XWindow window = display.find_window(window_title);
    ASSERT_NE(window, 0u);
    std::optional<WindowGeometry> geometry = display.geometry(window);
    ASSERT_TRUE(geometry.has_value());
    EXPECT_EQ(geometry->x, 0);
    EXPECT_EQ(geometry->y, 0);
    EXPECT_EQ(geometry->width, 800);
    EXPECT_EQ(geometry->height, 600);
}

TEST_F(MainWindowTest, OpensWindowedAtOriginAndCloseReleasesEverything) {
    ASSERT_TRUE(open_window());
    EXPECT_NE(instance_handle, nullptr);
    EXPECT_NE(window_handle, nullptr);
    EXPECT_NE(device_context, nullptr);
    EXPECT_NE(render_context, nullptr);
    EXPECT_NE(quadric, nullptr);
    EXPECT_EQ(get_focus(), window_handle);
    expect_800x600_at_origin(*display);

    close_main_window();
    expect_all_released_once();
    EXPECT_TRUE(boxes.boxes().empty());
}

struct StepFailure {
    PlatformStep step;
    const char* text;
};

// From the window creation on, a failing step makes the opening close what
// it has (the class included) before its box.
static const StepFailure opening_failures[] = {
    {PlatformStep::create_window, "Window Creation Error."},
    {PlatformStep::get_dc, "Can't Create A GL Device Context."},
    {PlatformStep::choose_pixel_format, "Can't Find A Suitable PixelFormat."},
    {PlatformStep::set_pixel_format, "Can't Set The PixelFormat."},
    {PlatformStep::create_context, "Can't Create A GL Rendering Context."},
    {PlatformStep::make_current, "Can't Activate The GL Rendering Context."},
};

TEST_F(MainWindowTest, FailedClassRegistrationShowsItsBoxWithoutAClose) {
    platform_fail_step(PlatformStep::register_class);
    EXPECT_FALSE(open_window());
    ASSERT_EQ(boxes.boxes().size(), 1u);
    expect_box(boxes.boxes()[0], "Failed To Register The Window Class.", "ERROR", 0x30);
    EXPECT_EQ(platform_counts().classes_unregistered, 0);
}

// As on a re-opening after F1: the close of the previous window has already
// released its handles and the quadric; the failed opening releases what it
// acquired itself, nothing twice, and shows only its own box.
TEST_F(MainWindowTest, EachFailingStepAfterACloseShowsItsBoxAndReleasesNothingTwice) {
    for (const StepFailure& failure : opening_failures) {
        SCOPED_TRACE(failure.text);
        ASSERT_TRUE(open_window());
        close_main_window();
        boxes.clear();
        platform_reset_counts();
        platform_fail_step(failure.step);

        EXPECT_FALSE(open_window());

        ASSERT_EQ(boxes.boxes().size(), 1u);
        expect_box(boxes.boxes()[0], failure.text, "ERROR", 0x30);
        EXPECT_EQ(platform_counts().classes_registered, 1);
        expect_all_released_once();
    }
}

TEST_F(MainWindowTest, RefusedFullScreenAnsweredYesOpensWindowed) {
    ASSERT_TRUE(open_window(true));
    ASSERT_EQ(boxes.boxes().size(), 1u);
    expect_box(boxes.boxes()[0], fallback_question, "2nd Term OpenGL Project", 0x34);
    EXPECT_EQ(fullscreen, 0);
    EXPECT_EQ(platform_counts().display_mode_changes, 0);
    EXPECT_EQ(platform_counts().cursor_hides, 0);
    expect_800x600_at_origin(*display);

    close_main_window();
    EXPECT_EQ(platform_counts().display_mode_restores, 0);
    expect_all_released_once();
}

TEST_F(MainWindowTest, RefusedFullScreenAnsweredNoEndsTheOpeningWithoutAClose) {
    boxes.answer_yes_no_with(IDNO);
    EXPECT_FALSE(open_window(true));
    ASSERT_EQ(boxes.boxes().size(), 2u);
    expect_box(boxes.boxes()[1], "Program Will Now Close.", "ERROR", 0x10);
    PlatformCounts counts = platform_counts();
    EXPECT_EQ(counts.windows_created, 0);
    EXPECT_EQ(counts.classes_registered, 1);
    EXPECT_EQ(counts.classes_unregistered, 0);  // the class stays registered
    EXPECT_EQ(window_handle, nullptr);
}

TEST_F(MainWindowTest, CloseFailuresAreReportedAndTheHandlesClearedAnyway) {
    const StepFailure closing_failures[] = {
        {PlatformStep::make_current, "Release Of DC And RC Failed."},
        {PlatformStep::delete_context, "Release Rendering Context Failed."},
        {PlatformStep::release_dc, "Release Device Context Failed."},
        {PlatformStep::destroy_window, "Could Not Release hWnd."},
        {PlatformStep::unregister_class, "Could Not Unregister Class."},
    };
    for (const StepFailure& failure : closing_failures) {
        SCOPED_TRACE(failure.text);
        ASSERT_TRUE(open_window());
        WindowHandle window = window_handle;
        RenderContextHandle context = render_context;
        boxes.clear();
        platform_fail_step(failure.step);

        close_main_window();

        ASSERT_EQ(boxes.boxes().size(), 1u);
        expect_box(boxes.boxes()[0], failure.text, "SHUTDOWN ERROR", 0x40);
        EXPECT_EQ(instance_handle, nullptr);
        EXPECT_EQ(window_handle, nullptr);
        EXPECT_EQ(device_context, nullptr);
        EXPECT_EQ(render_context, nullptr);
        EXPECT_EQ(quadric, nullptr);
        // Release what the failed step kept, so that the next round starts clean.
        if (failure.step == PlatformStep::delete_context) delete_context(context);
        if (failure.step == PlatformStep::destroy_window) destroy_window(window);
        if (failure.step == PlatformStep::unregister_class) {
            unregister_class("OpenGL", get_module_handle());
        }
    }
}
