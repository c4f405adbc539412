// Full screen through the browser's Fullscreen API, the canvas's size, the
// cursor (the screen's wake lock is wake_lock.cpp's). The element that goes
// full screen is "screen" in index.html, which holds both the canvas and the
// box dialog: nothing outside a full-screen element is shown, so a box asked
// for over a full-screen canvas alone would never be seen.
#include "platform/web/display.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include "platform/web/message_queue.h"
#include "platform/web/web_windows.h"

// ---------------------------------------------------------------------------
// Display state. Written by change_display_mode and restore_display_mode
// (full_screen), by fit_canvas (asked_*) and by refit_canvas (told_*); read by
// the screen-change callbacks, which resize the canvas and say when the
// browser left full screen by itself.
static bool full_screen = false;  // the program is in its full-screen mode
static int asked_width = 800;     // the window size the program asked for
static int asked_height = 600;
static int told_width = 800;  // the drawing buffer's size as the window was last told it
static int told_height = 600;

// Asks for full screen and waits for the browser's answer: 1 granted, 0
// refused (no user gesture lately, a frame that does not allow it, a browser
// without the API).
EM_ASYNC_JS(int, request_full_screen, (), {
    const screen = document.getElementById('screen');
    if (!screen.requestFullscreen) return 0;
    try {
        // A request made while the browser is still leaving full screen (F1
        // pressed again soon after) is granted, then undone by the way out.
        await Module.orrery_wait(Module.orrery_leaving_full_screen);
        await Module.orrery_wait(screen.requestFullscreen({navigationUI: 'hide'}));
        return document.fullscreenElement === screen ? 1 : 0;
    } catch (refused) {
        return 0;
    }
});

// Leaves full screen, keeping the way out until the browser has left.
EM_JS(void, exit_full_screen, (), {
    if (!document.fullscreenElement) return;
    Module.orrery_leaving_full_screen = new Promise((resolve) => {
        document.addEventListener('fullscreenchange', resolve, {once: true});
        document.exitFullscreen().catch(resolve);
    });
});

// ---------------------------------------------------------------------------
// The picture's size. The page's style (page.css) lays the canvas out: the
// program's window size, smaller where the browser's window is (always 4:3, so
// that an upright phone shows the whole picture), and in full screen the
// largest 4:3 the screen holds. Its drawing buffer has the device's pixels
// under that box, so that the picture is sharp, up to buffer_pixel_cap: a
// full screen of 2880 x 2160 device pixels (a 4K screen at 150%) would be 6.2
// million pixels, each drawn and kept twice over with its depth (about 50 MB),
// which software renderers and small devices do not draw at the display's
// rate. The window procedure gets the buffer's size (WM_SIZE) and positions in
// its pixels (input.cpp).
static constexpr int buffer_pixel_cap = 2048 * 1536;

// Gives the page's style the window size the program asked for, and sizes the
// drawing buffer to the canvas's box; its size as two 16-bit halves.
EM_JS(int, fit_drawing_buffer, (int asked_width, int asked_height, int pixel_cap), {
    const canvas = document.getElementById('canvas');
    const screen = document.getElementById('screen');
    screen.style.setProperty('--window-width', asked_width + 'px');
    screen.style.setProperty('--window-aspect', asked_width + ' / ' + asked_height);
    const box = canvas.getBoundingClientRect();
    let width = asked_width, height = asked_height;
    if (box.width > 0 && box.height > 0) {
        const ratio =
            Math.min(window.devicePixelRatio || 1, Math.sqrt(pixel_cap / (box.width * box.height)));
        width = Math.max(1, Math.round(box.width * ratio));
        height = Math.max(1, Math.round(box.height * ratio));
    }
    if (canvas.width !== width) canvas.width = width;
    if (canvas.height !== height) canvas.height = height;
    return (height << 16) | width;
});

// Calls orrery_refit_canvas whenever the canvas's box or the device's pixel
// ratio changes (a rotated phone, the browser's zoom, a window dragged to
// another screen), which the window's resize event does not always say.
EM_JS(void, watch_canvas_box, (), {
    new ResizeObserver(() => _orrery_refit_canvas()).observe(document.getElementById('canvas'));
    const watch_ratio = () => {
        matchMedia('(resolution: ' + window.devicePixelRatio + 'dppx)')
            .addEventListener('change', () => {
                _orrery_refit_canvas();
                watch_ratio();
            }, {once: true});
    };
    watch_ratio();
});

EM_JS(void, set_canvas_cursor, (int visible), {
    document.getElementById('canvas').style.cursor = visible ? "" : "none";
});

static void refit_canvas() {
    const int size = fit_drawing_buffer(asked_width, asked_height, buffer_pixel_cap);
    const int width = size & 0xFFFF, height = size >> 16;
    WindowHandle window = current_window();
    if ((width != told_width || height != told_height) && window != nullptr) {
        told_width = width;
        told_height = height;
        post_message({window, WM_SIZE, 0, make_lparam(width, height)});
    }
}

extern "C" EMSCRIPTEN_KEEPALIVE void orrery_refit_canvas() { refit_canvas(); }

void fit_canvas(int width, int height) {
    // A new window is told its asked size at its opening: only another size
    // needs saying.
    asked_width = told_width = width;
    asked_height = told_height = height;
    refit_canvas();
}

static EM_BOOL on_full_screen_change(int, const EmscriptenFullscreenChangeEvent* event, void*) {
    // Left by the browser itself (its Escape, or the user's own gesture):
    // the program goes back to its window as its own F1 would take it.
    if (!event->isFullscreen && full_screen) post_key_press(VK_F1);
    refit_canvas();
    return EM_FALSE;
}

static EM_BOOL on_resize(int, const EmscriptenUiEvent*, void*) {
    refit_canvas();
    return EM_FALSE;
}

void follow_screen_changes() {
    static bool following = false;
    if (following) return;
    following = true;
    emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE,
                                             on_full_screen_change);
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, on_resize);
    watch_canvas_box();
}

// The display's mode is the browser's: full screen is the screen's own size,
// and the program is told that size (WM_SIZE) once its window exists.
bool change_display_mode(int, int, int) {
    full_screen = request_full_screen() != 0;
    return full_screen;
}

void restore_display_mode() {
    full_screen = false;
    exit_full_screen();
}

void show_cursor(bool visible) { set_canvas_cursor(visible ? 1 : 0); }
