// Tests of the window procedure: messages fed to window_proc and the input
// state, view values and projection they leave behind.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>

#include "app/window_proc.h"
#include "render/render_state.h"
#include "support/offscreen_gl.h"

static LResult send(std::uint32_t message, WParam w_param = 0, LParam l_param = 0) {
    return window_proc(nullptr, message, w_param, l_param);
}

static int keys_down() {
    int count = 0;
    for (std::uint8_t entry : key_down) count += entry != 0;
    return count;
}

// Every test starts and ends with the program's initial input state and an
// empty message queue.
class WindowProcTest : public ::testing::Test {
   protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
    static void reset() {
        std::memset(key_down, 0, sizeof key_down);
        mouse_x = mouse_y = last_mouse_x = last_mouse_y = 0;
        dragging = 0;
        view_turn = view_roll = 0.0f;
        view_tilt = 22.5f;
        view_scale = 1.0f;
        animating = 1;
        aspect_ratio = 0.0f;
        Message message;
        while (peek_message(&message)) {
        }
    }
};

TEST_F(WindowProcTest, KeyDownAndUpTrackOtherKeysAndIgnoreCodesBeyondTheTable) {
    // The main keyboard's plus and minus are only recorded, never scale.
    for (WParam key : {VK_ESCAPE, VK_F1, VK_F5, WParam{'A'}, VK_OEM_PLUS, VK_OEM_MINUS, WParam{0},
                       WParam{255}}) {
        EXPECT_EQ(send(WM_KEYDOWN, key), 0);
        EXPECT_EQ(key_down[key], 1) << key;
        EXPECT_EQ(keys_down(), 1);
        EXPECT_EQ(send(WM_KEYUP, key), 0);
        EXPECT_EQ(keys_down(), 0);
    }
    // The whole parameter counts: 0x1006B is not keypad plus.
    for (WParam code :
         {WParam{256}, WParam{0x10000} + VK_ADD, WParam{0x10000} + VK_SPACE, ~WParam{0}}) {
        EXPECT_EQ(send(WM_KEYDOWN, code), 0);
        EXPECT_EQ(send(WM_KEYUP, code), 0);
    }
    EXPECT_EQ(keys_down(), 0);
    EXPECT_EQ(view_scale, 1.0f);
    EXPECT_EQ(animating, 1);
}

TEST_F(WindowProcTest, SpaceAndKeypadActOnEveryRepeatWithoutSettingKeyDown) {
    const LParam repeat = 1 | (LParam{1} << 30);                 // key already down: auto-repeat
    const std::uint8_t toggles[][2] = {{1, 0}, {0, 1}, {5, 0}};  // non-zero becomes 0
    for (const auto& t : toggles) {
        animating = t[0];
        send(WM_KEYDOWN, VK_SPACE, repeat);
        EXPECT_EQ(animating, t[1]);
    }
    // Sums formed in double and rounded to float: 1 + 0.3 + 0.3 - 0.3.
    send(WM_KEYDOWN, VK_ADD, 1);
    send(WM_KEYDOWN, VK_ADD, repeat);
    EXPECT_EQ(view_scale, 0x1.999998p+0f);
    send(WM_KEYDOWN, VK_SUBTRACT, repeat);
    EXPECT_EQ(view_scale, 0x1.4cccccp+0f);
    EXPECT_EQ(keys_down(), 0);
}

TEST_F(WindowProcTest, KeypadMinusStepsTheScaleThroughZeroWithDoubleSums) {
    // The nearest floats of 0.4, 0.1 and -0.2 differ from these, and so do
    // sums formed in single precision from the third step on.
    for (float expected : {0x1.666666p-1f, 0x1.999998p-2f, 0x1.999994p-4f, -0x1.99999cp-3f}) {
        send(WM_KEYDOWN, VK_SUBTRACT);
        EXPECT_EQ(view_scale, expected);
    }
}

TEST_F(WindowProcTest, RightDragTurnsAndTiltsFromTheLastMovePosition) {
    struct {
        std::uint32_t message;
        int x, y;
        float turn, tilt;  // view after the step
        int last_x, last_y;
    } const steps[] = {
        {WM_MOUSEMOVE, 100, 50, 0.0f, 22.5f, 100, 50},     // no drag: only recorded
        {WM_RBUTTONDOWN, 300, 300, 0.0f, 22.5f, 100, 50},  // the press position plays no part
        {WM_MOUSEMOVE, 110, 45, 10.0f, 17.5f, 110, 45},    // measured from (100, 50)
        {WM_MOUSEMOVE, 90, 160, -10.0f, 132.5f, 90, 160},  // tilt is not limited
        {WM_RBUTTONUP, 0, 0, -10.0f, 132.5f, 90, 160},
        {WM_MOUSEMOVE, 0, 0, -10.0f, 132.5f, 0, 0},
        {WM_RBUTTONDOWN, 0, 0, -10.0f, 132.5f, 0, 0},
        // Each half is an unsigned 16-bit number: no negative positions.
        {WM_MOUSEMOVE, 0xFFFF, 0x8000, 65525.0f, 32900.5f, 65535, 32768},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.message);
        EXPECT_EQ(send(step.message, 0, make_lparam(step.x, step.y)), 0);
        EXPECT_EQ(view_turn, step.turn);
        EXPECT_EQ(view_tilt, step.tilt);
        EXPECT_EQ(last_mouse_x, step.last_x);
        EXPECT_EQ(last_mouse_y, step.last_y);
        EXPECT_EQ(mouse_x, step.last_x);
        EXPECT_EQ(mouse_y, step.last_y);
    }
    EXPECT_EQ(view_roll, 0.0f);
}

TEST_F(WindowProcTest, SizeMessagesReachTheProjection) {
    OffscreenGl gl;
    ASSERT_TRUE(gl.ok());
    struct {
        int width, height;
        float aspect;
        GLint viewport_height;
    } const cases[] = {{640, 480, static_cast<float>(640.0 / 480.0), 480},
                       {0, 0, 0.0f, 1}};  // minimised
    for (const auto& c : cases) {
        EXPECT_EQ(send(WM_SIZE, 0, make_lparam(c.width, c.height)), 0);
        EXPECT_EQ(aspect_ratio, c.aspect);
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], c.width);
        EXPECT_EQ(viewport[3], c.viewport_height);
    }
}

TEST_F(WindowProcTest, CloseRequestPostsQuitWithCodeZero) {
    EXPECT_EQ(send(WM_CLOSE), 0);
    Message message{};
    ASSERT_TRUE(peek_message(&message));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.w_param, 0u);
    EXPECT_FALSE(peek_message(&message));
}

TEST_F(WindowProcTest, ScreenSaverAndMonitorPowerAreRefusedOtherMessagesDefault) {
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_MONITORPOWER), 0);
    // The parameter is compared whole; anything else gets the default.
    for (WParam command : {SC_SCREENSAVE | 1, SC_MONITORPOWER | 2, WParam{0xF060}}) {
        EXPECT_EQ(send(WM_SYSCOMMAND, command),
                  def_window_proc(nullptr, WM_SYSCOMMAND, command, 0));
    }
    for (std::uint32_t message : {WM_LBUTTONUP, WM_PAINT, WM_DESTROY}) {
        EXPECT_EQ(send(message, 0, make_lparam(5, 5)), 0);
    }
    Message queued{};
    EXPECT_FALSE(peek_message(&queued));
    EXPECT_EQ(keys_down() + dragging, 0);
}
