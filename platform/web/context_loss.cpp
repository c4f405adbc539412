// The canvas's WebGL context through its loss and return. The browser gives
// a lost context back only when the page asks for it (page.js prevents the
// default of the loss's event). Everything the program made on it (its
// shaders, textures, buffers) is gone then; the OpenGL subset keeps in
// memory what they were made from (platform/gl11/gl11_context.h) and makes
// them again on the context given back, so the program notices nothing.
#include "platform/web/context_loss.h"

#include <emscripten/emscripten.h>

#include "platform/gl11/gl11_context.h"
#include "platform/web/message_queue.h"
#include "platform/web/web_windows.h"

// Waits until let_the_loop_go_on is called, handling the page's events.
EM_ASYNC_JS(void, wait_for_context_back, (), {
    await Module.orrery_wait(new Promise((resolve) => { Module.orrery_context_back = resolve; }));
});

EM_JS(void, let_the_loop_go_on, (), {
    const resolve = Module.orrery_context_back;
    Module.orrery_context_back = null;
    if (resolve) resolve();
});

// A context given back on which the subset's shaders do not build: the page
// says that the program stopped with this error (page.js).
EM_JS(void, stop_with_error, (), {
    throw new Error('the graphics were reset, and the picture could not be drawn again');
});

// Lost: the objects are freed now, while freeing them is no error (on the
// context given back, the lost objects are not its own).
static EM_BOOL on_lost(int, const void*, void*) {
    gl11_context_lost();
    return EM_FALSE;
}

// Given back: the objects made again, and the picture drawn again also where
// the program is paused (the new context's picture is blank).
static EM_BOOL on_restored(int, const void*, void*) {
    if (!gl11_context_restored()) stop_with_error();
    WindowHandle window = current_window();
    if (window != nullptr) post_message({window, WM_PAINT, 0, 0});
    let_the_loop_go_on();
    return EM_FALSE;
}

void follow_context_loss() {
    static bool following = false;
    if (following) return;
    following = true;
    emscripten_set_webglcontextlost_callback("#canvas", nullptr, EM_FALSE, on_lost);
    emscripten_set_webglcontextrestored_callback("#canvas", nullptr, EM_FALSE, on_restored);
}

void wait_while_context_lost(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE webgl) {
    while (emscripten_is_webgl_context_lost(webgl)) wait_for_context_back();
}
