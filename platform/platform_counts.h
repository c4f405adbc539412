// Counters of what the window-system layer has acquired and released, for
// tests that check that nothing is released twice or left behind.
#pragma once

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
