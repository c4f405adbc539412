// Counters of what the window-system layer has acquired and released, for
// tests that check that nothing is released twice or left behind.
#pragma once

#include <cstdint>

#include "platform/window_system.h"

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
