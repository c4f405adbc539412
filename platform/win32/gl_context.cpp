// Device contexts, pixel formats, WGL rendering contexts and the paced
// buffer swap.
// mmsystem.h (timeBeginPeriod) needs windows.h before it.
// clang-format off
#include "platform/win32/win32.h"
#include <mmsystem.h>
// clang-format on

#include <cstdlib>

#include "platform/common/swap_pacing.h"

// ---------------------------------------------------------------------------
// Swap state. Written by make_current (the swap interval, a new period to
// read) and swap_buffers (the pacing); period_stale also by
// reread_refresh_period (the display changed).
static SwapPacing pacing;
static bool period_stale = true;
static bool fine_sleep = false;  // the system timer runs at 1 ms for the pacing's waits

void reread_refresh_period() { period_stale = true; }

DeviceContextHandle get_dc(WindowHandle window) {
    return reinterpret_cast<DeviceContextHandle>(GetDC(to_hwnd(window)));
}

bool release_dc(WindowHandle window, DeviceContextHandle dc) {
    return ReleaseDC(to_hwnd(window), to_hdc(dc)) != 0;
}

static PIXELFORMATDESCRIPTOR descriptor_of(const PixelFormatRequest& request) {
    PIXELFORMATDESCRIPTOR descriptor{};
    descriptor.nSize = request.size;
    descriptor.nVersion = request.version;
    descriptor.dwFlags = request.flags;
    descriptor.iPixelType = request.pixel_type;
    descriptor.cColorBits = request.colour_bits;
    descriptor.cDepthBits = request.depth_bits;
    descriptor.cStencilBits = request.stencil_bits;
    descriptor.iLayerType = request.layer_type;
    return descriptor;
}

int choose_pixel_format(DeviceContextHandle dc, const PixelFormatRequest* request) {
    if (request == nullptr) return 0;
    const PIXELFORMATDESCRIPTOR descriptor = descriptor_of(*request);
    return ChoosePixelFormat(to_hdc(dc), &descriptor);
}

bool set_pixel_format(DeviceContextHandle dc, int format, const PixelFormatRequest* request) {
    if (request == nullptr) return false;
    const PIXELFORMATDESCRIPTOR descriptor = descriptor_of(*request);
    return SetPixelFormat(to_hdc(dc), format, &descriptor) != 0;
}

RenderContextHandle create_context(DeviceContextHandle dc) {
    return reinterpret_cast<RenderContextHandle>(wglCreateContext(to_hdc(dc)));
}

// One swap a display refresh where the driver offers it
// (WGL_EXT_swap_control): the loop then draws no faster than the display
// shows. Drivers without it, and those that swap at once anyway, are paced
// by swap_buffers.
static void ask_for_swap_interval_1() {
    using SwapIntervalCall = BOOL(WINAPI*)(int);
    const auto call = reinterpret_cast<SwapIntervalCall>(
        reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
    if (call != nullptr) call(1);
}

bool make_current(DeviceContextHandle dc, RenderContextHandle rc) {
    if (!wglMakeCurrent(to_hdc(dc), to_hglrc(rc))) return false;
    if (rc != nullptr) {
        ask_for_swap_interval_1();
        period_stale = true;
    }
    return true;
}

bool delete_context(RenderContextHandle rc) { return wglDeleteContext(to_hglrc(rc)) != 0; }

static std::uint64_t counter_now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<std::uint64_t>(now.QuadPart);
}

// The display's refresh period in performance-counter ticks; 60 Hz where the
// display does not say (0 or 1 Hz mean "the hardware's default": Wine on a
// virtual X server, remote desktops, many virtual machines), as most
// displays refresh. Without a period the frames would not be paced at all
// there: twice the animation's speed and a whole core.
static constexpr int unknown_refresh_hertz = 60;

static std::uint64_t refresh_period(HDC dc) {
    int hertz = GetDeviceCaps(dc, VREFRESH);
    if (hertz <= 1) hertz = unknown_refresh_hertz;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<std::uint64_t>(frequency.QuadPart) / static_cast<std::uint64_t>(hertz);
}

// The system timer back at its own rate once the program ends: a finer one
// costs the whole machine power while it is asked for.
static void end_fine_sleep() { timeEndPeriod(1); }

// Where the driver does not pace the frames (software GL, remote desktops,
// many virtual machines), the loop would draw as fast as it can, spin a core
// and run the animation several times too fast: the swap then waits out the
// display's refresh period itself.
bool swap_buffers(DeviceContextHandle dc) {
    if (dc == nullptr) return false;
    if (period_stale) {
        const std::uint64_t period = refresh_period(to_hdc(dc));
        if (period != pacing.period()) pacing.set_period(period);
        period_stale = false;
    }
    const std::uint64_t wait = pacing.wait_before_swap(counter_now());
    if (wait > 0) {
        // Sleep counts in the system timer's ticks, 15.6 ms unless asked
        // for finer ones: far too coarse for a 16.7 ms frame.
        if (!fine_sleep) {
            fine_sleep = timeBeginPeriod(1) == TIMERR_NOERROR;
            if (fine_sleep) std::atexit(end_fine_sleep);
        }
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        const auto ticks_per_ms = static_cast<std::uint64_t>(frequency.QuadPart) / 1000;
        Sleep(static_cast<DWORD>((wait + ticks_per_ms - 1) / ticks_per_ms));
    }
    const std::uint64_t began = counter_now();
    const bool swapped = SwapBuffers(to_hdc(dc)) != 0;
    pacing.swap_done(began, counter_now());
    return swapped;
}
