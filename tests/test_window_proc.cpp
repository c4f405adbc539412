// Tests of the window procedure: the input state and view that messages leave.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/window_proc.h"

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
