// What tests and benchmarks reach inside the window-system layer: steps made
// to fail, counts of what was acquired and released, SDL window ids, the
// frame-pacing switch and a replacement for the message boxes. Only the
// layer's test build (ORRERY_TEST_HOOKS, linked by tests and benchmarks)
// has them; the shipped program does not.
#pragma once

#include <cstdint>

#include "platform/window_system.h"

// The named step of the layer fails once, as the real call would fail.
// Cleared by platform_clear_faults().
enum class PlatformStep {
    register_class,
    change_display_mode,
    create_window,
    get_dc,
    choose_pixel_format,
    set_pixel_format,
    create_context,
    make_current,
    delete_context,
    release_dc,
    destroy_window,
    unregister_class,
};
void platform_fail_step(PlatformStep step);
void platform_clear_faults();

// Counters of what the layer has acquired and released, for tests that check
// that nothing is released twice or left behind.
struct PlatformCounts {
    int classes_registered;
    int classes_unregistered;
    int windows_created;
    int windows_destroyed;
    int dcs_got;
    int dcs_released;
    int contexts_created;
    int contexts_deleted;
    int display_mode_changes;
    int display_mode_restores;
    int cursor_hides;
    int cursor_shows;
    int swaps;  // swap requests, whether or not a window was there
};
PlatformCounts platform_counts();
void platform_reset_counts();

// The SDL id of a window of the layer, so that tests can queue platform
// events for it; 0 for none.
std::uint32_t platform_window_id(WindowHandle window);
// Benchmarks compare the loop with and without the layer's own frame pacing.
void platform_allow_swap_pacing(bool allowed);

// Replaces every box with a function of the caller's (tests record the boxes
// this way); null brings the real boxes back.
using MessageBoxHook = int (*)(WindowHandle owner, const char* text, const char* caption,
                               unsigned flags);
void set_message_box_hook(MessageBoxHook hook);
