// The pixel format, rendering contexts (the OpenGL 1.1 subset, platform/
// gl11/, on the canvas's one WebGL 1 context) and the buffer swap that
// yields to the browser (and waits while the context is lost).
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include "platform/gl11/gl11_context.h"
#include "platform/web/context_loss.h"
#include "platform/web/display.h"
#include "platform/web/input.h"
#include "platform/web/touch.h"
#include "platform/web/web_windows.h"

struct PlatformRenderContext {
    Gl11Context* context;
};

// ---------------------------------------------------------------------------
// The canvas's WebGL context. Made by the first create_context and kept for
// the life of the page (a canvas has only ever one); read by make_current.
static EMSCRIPTEN_WEBGL_CONTEXT_HANDLE webgl = 0;

// Waits for the browser's next animation frame: the browser shows what was
// drawn since the last one, handles the page's events meanwhile, and paces
// the loop to the display (and stops it while the page is hidden).
EM_ASYNC_JS(void, wait_for_next_frame, (), {
    await Module.orrery_wait(new Promise((resolve) => requestAnimationFrame(resolve)));
});

static bool make_webgl_context() {
    if (webgl > 0) return true;
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = EM_FALSE;  // the page behind must not show through
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_FALSE;
    // Antialiasing would smooth edges the desktop program draws hard.
    attributes.antialias = EM_FALSE;
    // The picture stays readable after it is shown (toDataURL, a test's
    // pixels), as a desktop window's front buffer does.
    attributes.preserveDrawingBuffer = EM_TRUE;
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    webgl = emscripten_webgl_create_context("#canvas", &attributes);
    return webgl > 0;
}

// The canvas's WebGL context has 8 bits a channel and a depth buffer,
// whatever is asked: a browser offers no other.
bool set_pixel_format(DeviceContextHandle dc, int format, const PixelFormatRequest* request) {
    if (dc == nullptr || format <= 0 || request == nullptr) return false;
    dc->format_set = true;
    return true;
}

RenderContextHandle create_context(DeviceContextHandle dc) {
    if (dc == nullptr || !dc->format_set || !make_webgl_context()) return nullptr;
    listen_to_input();
    listen_to_touch();
    follow_screen_changes();
    follow_context_loss();
    // (A window made while the context is lost, after a box, waits for it.)
    wait_while_context_lost(webgl);
    if (emscripten_webgl_make_context_current(webgl) != EMSCRIPTEN_RESULT_SUCCESS) return nullptr;
    // Each rendering context starts anew (texture objects, display lists,
    // state), on the one WebGL context.
    Gl11Context* context = gl11_create_context();
    if (context == nullptr) return nullptr;
    return new PlatformRenderContext{context};
}

bool make_current(DeviceContextHandle dc, RenderContextHandle rc) {
    if (dc == nullptr && rc == nullptr) {
        gl11_make_current(nullptr);
        return true;
    }
    if (dc == nullptr || rc == nullptr) return false;
    gl11_make_current(rc->context);
    return true;
}

bool delete_context(RenderContextHandle rc) {
    if (rc == nullptr) return false;
    gl11_delete_context(rc->context);
    delete rc;
    return true;
}

// The browser paces the frames: the layer's own pacing (platform/common/
// swap_pacing.h) has nothing to do here. What the subset still has gathered
// is drawn first, so that the frame shown is whole whatever its last call.
// (Today's frames never leave anything gathered, since each ends with a GLU
// shape, which draws what was gathered before it: no test of the program can
// see this flush missing.)
bool swap_buffers(DeviceContextHandle dc) {
    if (dc == nullptr) return false;
    gl11_flush();
    wait_for_next_frame();
    // A context lost meanwhile: nothing is drawn until it is given back.
    wait_while_context_lost(webgl);
    return true;
}
