// The layer's window calls over the page's one canvas (id "canvas" in
// index.html): making, showing and ending windows, and the keyboard focus. A
// window is the canvas shown; closing it hides the canvas, which keeps its
// place in the page. The window classes and device contexts are the window
// list's (platform/common/window_list.h).
#include <emscripten/emscripten.h>

#include "platform/web/display.h"
#include "platform/web/message_queue.h"
#include "platform/web/program_end.h"
#include "platform/web/web_windows.h"

EM_JS(void, show_canvas, (const char* title, int visible), {
    const canvas = document.getElementById('canvas');
    canvas.style.visibility = visible ? 'visible' : 'hidden';
    if (title) document.title = UTF8ToString(title);
});

EM_JS(void, focus_canvas, (), { document.getElementById('canvas').focus(); });

InstanceHandle get_module_handle() {
    // The program's first call into the layer, before anything it does here.
    watch_for_the_end();
    static char module_marker;
    return &module_marker;
}

WindowHandle create_window(std::uint32_t, const char* class_name, const char* title,
                           std::uint32_t style, int, int, int width, int height,
                           InstanceHandle instance) {
    WindowProc proc = nullptr;
    if (!find_window_class(class_name, instance, &proc)) return nullptr;

    auto* window = new PlatformWindow{(style & WS_POPUP) != 0};
    show_canvas(title, 0);
    // The new window learns its size here (a paused program then draws its
    // picture once).
    add_window(window, proc, width, height);
    // A full-screen window takes the size of the screen; the program learns
    // it from the queue, once its context exists.
    fit_canvas(width, height);
    return window;
}

bool destroy_window(WindowHandle window) {
    if (!remove_window(window)) return false;
    forget_messages_for(window);
    if (window_count() == 0) show_canvas(nullptr, 0);
    delete window;
    return true;
}

void show_window(WindowHandle window) {
    if (window == current_window()) show_canvas(nullptr, 1);
}

void set_foreground_window(WindowHandle) {}

void set_focus(WindowHandle window) {
    if (window == current_window()) focus_canvas();
}

WindowHandle get_focus() { return current_window(); }
