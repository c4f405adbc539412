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
// (full_screen) and by fit_canvas (asked_*); read by the screen-change
// callbacks, which resize the canvas and say when the browser left full
// screen by itself.
static bool full_screen = false;  // the program is in its full-screen mode
static int asked_width = 800;     // the window size the program asked for
static int asked_height = 600;

// Asks for full screen and waits for the browser's answer: 1 granted, 0
// refused (no user gesture lately, a frame that does not allow it, a browser
// without the API).
EM_ASYNC_JS(int, request_full_screen, (), {
    const screen = document.getElementById('screen');
    if (!screen.requestFullscreen) return 0;
    try {
        await Module.orrery_wait(screen.requestFullscreen({navigationUI: 'hide'}));
        return document.fullscreenElement === screen ? 1 : 0;
    } catch (refused) {
        return 0;
    }
});

EM_JS(void, exit_full_screen, (), {
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
});

EM_JS(int, page_is_full_screen, (), { return document.fullscreenElement ? 1 : 0; });

// The full-screen element's size in pixels, as two 16-bit halves.
EM_JS(int, screen_element_size, (), {
    const screen = document.getElementById('screen');
    return (screen.clientHeight << 16) | screen.clientWidth;
});

// Sets the canvas's drawing buffer and its size in the page alike, so that a
// pixel of the picture is a pixel of the page. Returns 1 when it changed.
EM_JS(int, set_canvas_size, (int width, int height), {
    const canvas = document.getElementById('canvas');
    if (canvas.width === width && canvas.height === height) return 0;
    canvas.width = width;
    canvas.height = height;
    canvas.style.width = width + 'px';
    canvas.style.height = height + 'px';
    return 1;
});

EM_JS(void, set_canvas_cursor, (int visible), {
    document.getElementById('canvas').style.cursor = visible ? "" : "none";
});

static void refit_canvas() {
    int width = asked_width, height = asked_height;
    if (full_screen && page_is_full_screen()) {
        const int size = screen_element_size();
        width = size & 0xFFFF;
        height = size >> 16;
    }
    WindowHandle window = current_window();
    if (set_canvas_size(width, height) && window != nullptr) {
        post_message({window, WM_SIZE, 0, make_lparam(width, height)});
    }
}

void fit_canvas(int width, int height) {
    asked_width = width;
    asked_height = height;
    // A new window is told its size at its opening: only another size needs
    // saying, and the canvas is set to the asked size first for that.
    set_canvas_size(width, height);
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
