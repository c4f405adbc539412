// Frame rate and CPU use of the real loop on a real window, with and without
// the layer's own swap pacing, animating and paused. Needs a display (the
// bench script starts Xvfb when there is none); llvmpipe under Xvfb has no
// vsync, which is the case the pacing is for.
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/main_loop.h"
#include "app/main_window.h"
#include "app/window_proc.h"
#include "platform/window_system.h"
#include "support/layer_seam.h"

// Whether the layer's swap may wait for the display: written by measure(), read by the wrapped
// SDL_Delay, which only that wait calls.
static bool pacing_allowed = true;

extern "C" void __real_SDL_Delay(std::uint32_t milliseconds);
extern "C" void __wrap_SDL_Delay(std::uint32_t milliseconds) {
    if (pacing_allowed) __real_SDL_Delay(milliseconds);
}

static double process_cpu_seconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Runs the loop's passes for `seconds`; prints frames per second and the
// share of one core used.
static void measure(const char* label, bool paced, bool animate, double seconds) {
    pacing_allowed = paced;
    animating = animate ? 1 : 0;
    seam::reset();
    const auto start = std::chrono::steady_clock::now();
    const double cpu_start = process_cpu_seconds();
    double elapsed = 0;
    Message message;
    while (elapsed < seconds) {
        if (peek_message(&message)) {
            translate_message(&message);
            dispatch_message(&message);
        } else {
            idle_pass();
        }
        elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double cpu = process_cpu_seconds() - cpu_start;
    std::printf("%-26s %7.1f swaps/s %6.0f%% of a core\n", label, seam::held().swaps / elapsed,
                100.0 * cpu / elapsed);
}

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    if (chdir(ORRERY_TEXTURE_DIR) != 0) return 1;
    if (!open_main_window(window_title, 800, 600, 16, false)) return 1;
    std::printf("%.0f s each, 800x600 window\n", seconds);
    measure("animating, paced", true, true, seconds);
    measure("animating, unpaced", false, true, seconds);
    measure("paused, paced", true, false, seconds);
    measure("paused, unpaced", false, false, seconds);
    close_main_window();
    return 0;
}
