// The message loop and its idle pass: drawing, presenting, and the function
// keys F1 to F5.
#include "app/main_loop.h"

#include "app/main_window.h"
#include "app/window_proc.h"
#include "platform/window_system.h"
#include "scene/draw_scene.h"

// ---------------------------------------------------------------------------
// The full-screen switch. Written by the idle pass (F1) and run_main_loop,
// and by open_main_window at every opening (the wish it is given, then 0 after
// a refused full-screen mode). Read by the idle pass and the main window's
// opening and closing. The other switches are shared with the scene
// (scene/scene_state.h).
std::uint8_t fullscreen = 0;

const char* const window_title = "OpenGL Team Project";
static constexpr int window_width = 800;
static constexpr int window_height = 600;
static constexpr int window_colour_bits = 16;

static std::uint8_t toggled(std::uint8_t flag) { return flag == 0 ? 1 : 0; }

// True when the key was down; its entry is cleared so that one press acts
// once (auto-repeat sets it again).
static bool take_key(WParam key) {
    if (!key_down[key]) return false;
    key_down[key] = 0;
    return true;
}

IdleResult idle_pass() {
    // A failed frame ends the loop at once: no Escape test and no swap. A
    // paused picture is drawn again once after its window changed size or was
    // uncovered; the animation does not advance while paused.
    bool draw = animating || picture_stale;
    picture_stale = 0;
    bool frame_failed = draw && !draw_scene();
    bool end_loop = frame_failed || key_down[VK_ESCAPE];
    if (!end_loop) swap_buffers(device_context);

    // The function keys are acted on in every idle pass, also in the one that
    // ends the loop.
    if (take_key(VK_F1)) {
        close_main_window();
        fullscreen = toggled(fullscreen);
        if (!open_main_window(window_title, window_width, window_height, window_colour_bits,
                              fullscreen != 0)) {
            return IdleResult::return_now;
        }
    }
    if (take_key(VK_F2)) lighting_on = toggled(lighting_on);
    if (take_key(VK_F3)) texturing_on = toggled(texturing_on);
    if (take_key(VK_F4)) solid_fill = toggled(solid_fill);
    if (take_key(VK_F5)) {
        if (sphere_mode == 1) {
            sphere_mode = 2;
        } else if (sphere_mode == 2) {
            sphere_mode = 1;
        }
    }
    return end_loop ? IdleResult::end_loop : IdleResult::keep_running;
}

int run_main_loop() {
    fullscreen = 0;
    if (!open_main_window(window_title, window_width, window_height, window_colour_bits,
                          fullscreen != 0)) {
        return 0;
    }
    disable_screen_saver();

    // The exit status is the quit message's code; a loop ended by Escape (or a
    // failed frame) ends with 0.
    int exit_status = 0;
    bool loop_end = false;
    Message message;
    while (!loop_end) {
        if (peek_message(&message)) {
            if (message.message == WM_QUIT) {
                exit_status = static_cast<int>(message.w_param);
                loop_end = true;
            } else {
                translate_message(&message);
                dispatch_message(&message);
            }
            continue;
        }
        switch (idle_pass()) {
            case IdleResult::keep_running:
                break;
            case IdleResult::end_loop:
                loop_end = true;
                break;
            case IdleResult::return_now:
                return 0;
        }
    }
    close_main_window();
    return exit_status;
}
