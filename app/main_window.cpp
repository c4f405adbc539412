// The main window: opening it windowed or full screen with its device and
// rendering contexts, and releasing all of it again.
#include "app/main_window.h"

#include "app/main_loop.h"
#include "app/window_proc.h"
#include "render/render_state.h"
#include "scene/selection_lists.h"

// ---------------------------------------------------------------------------
// Window handles. Written by open_main_window, cleared by close_main_window;
// read by the loop (device_context, for the swap). window_handle, which they
// also write, lives with the scene state: the pick reads it.
InstanceHandle instance_handle = nullptr;
DeviceContextHandle device_context = nullptr;
RenderContextHandle render_context = nullptr;

// Filled once, after the first window exists; later openings reuse it, so its
// colour bits stay those of the first opening.
static PixelFormatRequest pixel_format_request;
static bool pixel_format_filled = false;

static const char* const class_name = "OpenGL";

static void open_error(const char* text, unsigned flags = MB_OK | MB_ICONEXCLAMATION) {
    message_box(nullptr, text, "ERROR", flags);
}

static void close_error(const char* text) {
    message_box(nullptr, text, "SHUTDOWN ERROR", MB_OK | MB_ICONINFORMATION);
}

// From the window creation on, a failed step releases what exists and then
// says why.
static bool fail_after_close(const char* text) {
    close_main_window();
    open_error(text);
    return false;
}

bool open_main_window(const char* title, int width, int height, int colour_bits,
                      bool fullscreen_wish) {
    Rect window_rect{0, 0, width, height};
    fullscreen = fullscreen_wish ? 1 : 0;
    instance_handle = get_module_handle();

    WindowClass window_class{CS_HREDRAW | CS_VREDRAW | CS_OWNDC, window_proc, instance_handle,
                             class_name};
    if (!register_class(window_class)) {
        open_error("Failed To Register The Window Class.");
        return false;
    }

    if (fullscreen && !change_display_mode(width, height, colour_bits)) {
        int answer = message_box(nullptr,
                                 "The Requested Fullscreen Mode Is Not Supported By\n"
                                 "Your Video Card. Use Windowed Mode Instead?",
                                 "2nd Term OpenGL Project", MB_YESNO | MB_ICONEXCLAMATION);
        if (answer != IDYES) {
            open_error("Program Will Now Close.", MB_OK | MB_ICONSTOP);
            return false;
        }
        fullscreen = 0;
    }

    std::uint32_t ex_style = WS_EX_APPWINDOW;
    std::uint32_t style = WS_POPUP;
    if (fullscreen) {
        show_cursor(false);
    } else {
        ex_style = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
        style = WS_OVERLAPPEDWINDOW;
    }
    adjust_window_rect(&window_rect, style, ex_style);

    window_handle =
        create_window(ex_style, class_name, title, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                      window_rect.right - window_rect.left, window_rect.bottom - window_rect.top,
                      instance_handle);
    if (window_handle == nullptr) return fail_after_close("Window Creation Error.");

    if (!pixel_format_filled) {
        pixel_format_request =
            PixelFormatRequest{40,
                               1,
                               PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
                               PFD_TYPE_RGBA,
                               static_cast<std::uint8_t>(colour_bits),
                               16,
                               0,
                               PFD_MAIN_PLANE};
        pixel_format_filled = true;
    }

    device_context = get_dc(window_handle);
    if (device_context == nullptr) return fail_after_close("Can't Create A GL Device Context.");
    int pixel_format = choose_pixel_format(device_context, &pixel_format_request);
    if (pixel_format == 0) return fail_after_close("Can't Find A Suitable PixelFormat.");
    if (!set_pixel_format(device_context, pixel_format, &pixel_format_request)) {
        return fail_after_close("Can't Set The PixelFormat.");
    }
    render_context = create_context(device_context);
    if (render_context == nullptr) return fail_after_close("Can't Create A GL Rendering Context.");
    if (!make_current(device_context, render_context)) {
        return fail_after_close("Can't Activate The GL Rendering Context.");
    }

    show_window(window_handle);
    set_foreground_window(window_handle);
    set_focus(window_handle);
    resize_view(width, height);
    if (!init_render_state()) return fail_after_close("Initialization Failed.");
    return true;
}

void close_main_window() {
    if (fullscreen) {
        restore_display_mode();
        show_cursor(true);
    }
    if (render_context != nullptr) {
        if (!make_current(nullptr, nullptr)) close_error("Release Of DC And RC Failed.");
        if (!delete_context(render_context)) close_error("Release Rendering Context Failed.");
        render_context = nullptr;
    }
    forget_selection_lists();
    if (device_context != nullptr) {
        if (!release_dc(window_handle, device_context)) {
            close_error("Release Device Context Failed.");
        }
        device_context = nullptr;
    }
    if (window_handle != nullptr) {
        if (!destroy_window(window_handle)) close_error("Could Not Release hWnd.");
        window_handle = nullptr;
    }
    if (!unregister_class(class_name, instance_handle)) close_error("Could Not Unregister Class.");
    instance_handle = nullptr;
    if (quadric != nullptr) {
        gluDeleteQuadric(quadric);
        quadric = nullptr;
    }
}
