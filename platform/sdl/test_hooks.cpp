// The test hooks' state; compiled only into the layer's test build.
#include "platform/sdl/test_hooks.h"

#include <SDL.h>

#include <set>

#include "platform/sdl/hooks.h"
#include "platform/sdl/sdl_windows.h"

#if !ORRERY_TEST_HOOKS
#error "platform/test_hooks.cpp belongs to the test build only"
#endif

// ---------------------------------------------------------------------------
// Hook state. Written by the platform_* setters below (tests, benchmarks) and
// by the layer's modules through count() and step_fails(); read by both.
static std::set<PlatformStep> failing_steps;  // steps that fail once
static PlatformCounts counts = {};            // acquisitions and releases
static bool pacing_allowed = true;            // benchmarks compare without it
static MessageBoxHook box_hook = nullptr;     // tests' replacement for boxes

bool step_fails(PlatformStep step) { return failing_steps.erase(step) > 0; }
void count(int PlatformCounts::*counter) { ++(counts.*counter); }
bool swap_pacing_allowed() { return pacing_allowed; }
MessageBoxHook message_box_hook() { return box_hook; }

void platform_fail_step(PlatformStep step) { failing_steps.insert(step); }
void platform_clear_faults() { failing_steps.clear(); }
PlatformCounts platform_counts() { return counts; }
void platform_reset_counts() { counts = PlatformCounts{}; }
std::uint32_t platform_window_id(WindowHandle window) {
    return window != nullptr ? SDL_GetWindowID(window->sdl_window) : 0;
}
void platform_allow_swap_pacing(bool allowed) { pacing_allowed = allowed; }
void set_message_box_hook(MessageBoxHook hook) { box_hook = hook; }
