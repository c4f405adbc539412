// Where the layer's modules meet the test hooks of platform/test_hooks.h.
// The test build defines ORRERY_TEST_HOOKS and links platform/test_hooks.cpp;
// in the shipped program each hook is a constant that the compiler folds away.
#pragma once

#include "platform/sdl/test_hooks.h"

#if ORRERY_TEST_HOOKS
bool step_fails(PlatformStep step);        // true once after platform_fail_step(step)
void count(int PlatformCounts::*counter);  // one more of what `counter` counts
bool swap_pacing_allowed();
MessageBoxHook message_box_hook();
#else
constexpr bool step_fails(PlatformStep) { return false; }
constexpr void count(int PlatformCounts::*) {}
constexpr bool swap_pacing_allowed() { return true; }
constexpr MessageBoxHook message_box_hook() { return nullptr; }
#endif
