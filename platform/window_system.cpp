// The window-system layer over SDL2: message queue, windows, GL contexts,
// display modes and message boxes. The only file of the system that includes
// SDL headers.
#include "platform/window_system.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "platform/platform_counts.h"
#include "platform/window_icon.h"

struct PlatformDeviceContext {
    PlatformWindow* window;
    bool acquired;
    PixelFormatRequest format;
    bool format_set;
};

struct PlatformWindow {
    SDL_Window* sdl_window;
    WindowProc proc;
    bool popup;
    PlatformDeviceContext dc;
    bool minimised;  // between a minimise and the next restore
};

struct PlatformRenderContext {
    SDL_GLContext gl_context;
    PlatformWindow* window;
    bool swap_interval_set;
};

// A message box shown on a thread of its own, so that the main thread goes on
// serving the window system while the box is open.
struct BoxCall {
    SDL_MessageBoxData data;
    int answer;
    int result;
    SDL_atomic_t done;
};

struct RegisteredClass {
    std::string name;
    WindowProc proc;
    InstanceHandle instance;
};

// ---------------------------------------------------------------------------
// Layer state. Written and read only by the functions of this file; tests
// reach the fault set and the counts through the functions at the end.
static bool video_ready = false;                // SDL video initialised
static std::deque<Message> queue;               // posted and translated messages
static std::vector<RegisteredClass> classes;    // registered window classes
static std::vector<PlatformWindow*> windows;    // live windows
static PlatformWindow* focus_window = nullptr;  // window with the keyboard focus
static bool full_screen_pending = false;        // a full-screen mode was granted
static SDL_DisplayMode full_screen_mode;        // ... and this is the mode
static MessageBoxHook box_hook = nullptr;       // tests' replacement for boxes
static std::set<PlatformStep> failing_steps;    // steps that fail once
static PlatformCounts counts = {};              // acquisitions and releases
static bool screen_saver_refused = false;       // asked for by disable_screen_saver
static int last_display = 0;                    // display that held the last window
static bool pacing_allowed = true;              // benchmarks compare without it
static bool pace_swaps = false;                 // the driver ignores the swap interval
static Uint64 swap_period = 0;                  // ... so swaps wait this long (counter ticks)
static Uint64 next_swap = 0;                    // ... until this counter value
// Key releases held back until an idle pass has seen the press (see
// peek_message), and the keys whose press went out since the last idle pass.
static std::deque<Message> held_releases;
static std::set<WParam> pressed_since_idle;
// The pixel format of the last set_pixel_format call. SDL chooses a window's
// visual when the window is created, so the layer applies the pixel format
// there; before any format was set it asks for the system's usual one.
static PixelFormatRequest window_format = {
    40,
    1,
    PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
    PFD_TYPE_RGBA,
    16,
    16,
    0,
    PFD_MAIN_PLANE};

static bool step_fails(PlatformStep step) {
    auto it = failing_steps.find(step);
    if (it == failing_steps.end()) return false;
    failing_steps.erase(it);
    return true;
}

static bool ensure_video() {
    if (video_ready) return true;
    // SDL would hold the screen saver off from start to end, also while the
    // window is minimised or in the background; update_screen_saver decides.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // SDL minimises a full-screen window that loses the focus; a message box
    // takes it, and the user would be left with a black screen and no window
    // to type into.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // With SDL's capture a held button reports positions outside the client
    // area, negative ones left of and above it, which the 16-bit packing of
    // mouse messages turns into 65,000-pixel jumps of a drag. Uncaptured, the
    // positions stop at the edge and a release outside is not seen.
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
    // SDL 2.26 crashes in its Wayland decoration library when a GL window is
    // destroyed and another created (every F1). Windows then come without a
    // title bar on compositors that do not draw one themselves.
    SDL_SetHint(SDL_HINT_VIDEO_WAYLAND_ALLOW_LIBDECOR, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    // Without a display SDL falls back to drivers that draw nowhere; the
    // program would then run unseen and unreachable. Those count as no
    // display unless the user asked for one of them by name.
    const char* driver = SDL_GetCurrentVideoDriver();
    bool displayless = driver != nullptr &&
                       (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
    if (displayless && SDL_getenv("SDL_VIDEODRIVER") == nullptr) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    video_ready = true;
    return true;
}

static PlatformWindow* find_window(Uint32 sdl_window_id) {
    SDL_Window* sdl_window = SDL_GetWindowFromID(sdl_window_id);
    for (PlatformWindow* window : windows) {
        if (window->sdl_window == sdl_window) return window;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Event translation.

// SDL key codes to virtual-key codes; 0 for keys the system has no code for.
static WParam virtual_key(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return VK_NUMPAD0 + 1 + (key - SDLK_KP_1);
    switch (key) {
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return VK_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return VK_CONTROL;
        case SDLK_LALT:
        case SDLK_RALT:
            return VK_MENU;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_UP:
            return VK_UP;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_KP_0:
            return VK_NUMPAD0;
        case SDLK_KP_MULTIPLY:
            return VK_MULTIPLY;
        case SDLK_KP_PLUS:
            return VK_ADD;
        case SDLK_KP_MINUS:
            return VK_SUBTRACT;
        case SDLK_KP_PERIOD:
            return VK_DECIMAL;
        case SDLK_KP_DIVIDE:
            return VK_DIVIDE;
        case SDLK_EQUALS:
        case SDLK_PLUS:
            return VK_OEM_PLUS;
        case SDLK_MINUS:
            return VK_OEM_MINUS;
        default:
            return 0;
    }
}

static WParam mouse_key_state(Uint32 buttons) {
    WParam state = 0;
    if (buttons & SDL_BUTTON_LMASK) state |= 0x0001;  // MK_LBUTTON
    if (buttons & SDL_BUTTON_RMASK) state |= 0x0002;  // MK_RBUTTON
    return state;
}

// The screen saver is held off only while the window with the focus is not
// minimised, as a desktop program refuses it only while it is the active one.
static void update_screen_saver() {
    if (!video_ready) return;
    bool active = focus_window != nullptr && !focus_window->minimised;
    if (screen_saver_refused && active) {
        SDL_DisableScreenSaver();
    } else {
        SDL_EnableScreenSaver();
    }
}

// Mouse positions as the window procedure gets them: inside the client area.
static LParam client_position(const PlatformWindow* window, int x, int y) {
    int width = 0, height = 0;
    SDL_GetWindowSize(window->sdl_window, &width, &height);
    x = std::clamp(x, 0, std::max(width - 1, 0));
    y = std::clamp(y, 0, std::max(height - 1, 0));
    return make_lparam(x, y);
}

// Turns one SDL event into a message. Returns false for events that carry no
// message of the system.
static bool translate_event(const SDL_Event& event, Message* out) {
    *out = Message{nullptr, WM_NULL, 0, 0};
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            WParam key = virtual_key(event.key.keysym.sym);
            if (key == 0) return false;
            out->window = find_window(event.key.windowID);
            // SDL gives a newly focused window its keyboard focus a moment
            // after the X server does; keys in between carry no window. They
            // belong to the window that set_focus gave the focus.
            if (out->window == nullptr && event.key.windowID == 0) out->window = focus_window;
            out->message = event.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP;
            out->w_param = key;
            // Repeat count 1 in the low word; bit 30 set when the key was already down.
            out->l_param = 1 | (event.key.repeat ? (LParam{1} << 30) : 0);
            return out->window != nullptr;
        }
        case SDL_MOUSEMOTION:
            out->window = find_window(event.motion.windowID);
            if (out->window == nullptr) return false;
            out->message = WM_MOUSEMOVE;
            out->w_param = mouse_key_state(event.motion.state);
            out->l_param = client_position(out->window, event.motion.x, event.motion.y);
            return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            bool down = event.type == SDL_MOUSEBUTTONDOWN;
            if (event.button.button == SDL_BUTTON_LEFT) {
                out->message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
            } else if (event.button.button == SDL_BUTTON_RIGHT) {
                out->message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
            } else {
                return false;
            }
            out->window = find_window(event.button.windowID);
            if (out->window == nullptr) return false;
            out->w_param = mouse_key_state(SDL_GetMouseState(nullptr, nullptr));
            out->l_param = client_position(out->window, event.button.x, event.button.y);
            return true;
        }
        case SDL_WINDOWEVENT:
            out->window = find_window(event.window.windowID);
            if (out->window == nullptr) return false;
            switch (event.window.event) {
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    out->message = WM_SIZE;
                    out->l_param = make_lparam(event.window.data1, event.window.data2);
                    return true;
                case SDL_WINDOWEVENT_MINIMIZED:
                    // A minimised window reports a client area of 0 by 0.
                    out->window->minimised = true;
                    update_screen_saver();
                    out->message = WM_SIZE;
                    out->l_param = make_lparam(0, 0);
                    return true;
                case SDL_WINDOWEVENT_RESTORED: {
                    out->window->minimised = false;
                    update_screen_saver();
                    int width = 0, height = 0;
                    SDL_GetWindowSize(out->window->sdl_window, &width, &height);
                    out->message = WM_SIZE;
                    out->l_param = make_lparam(width, height);
                    return true;
                }
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    focus_window = out->window;
                    update_screen_saver();
                    return false;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    if (focus_window == out->window) focus_window = nullptr;
                    update_screen_saver();
                    return false;
                case SDL_WINDOWEVENT_CLOSE:
                    out->message = WM_CLOSE;
                    return true;
                default:
                    return false;
            }
        case SDL_QUIT:
            // An interrupt or terminate signal: treat it as a close request of
            // the main window so that the program ends the usual way.
            if (windows.empty()) return false;
            out->window = windows.front();
            out->message = WM_CLOSE;
            return true;
        default:
            return false;
    }
}

// ---------------------------------------------------------------------------
// Message queue.

// The loop reads F1 to F5 and Escape from the table of keys held down in its
// idle pass, so a key pressed and released between two idle passes would
// never act. The release of a key pressed since the last idle pass is
// therefore held back and queued after the next one: every press is seen by
// at least one idle pass.
//
// SDL ends each poll cycle with a marker; an event that arrives behind it is
// only seen by the next cycle. The queue therefore takes everything SDL has
// in one go, so that an empty queue really means no input is waiting.
bool peek_message(Message* message) {
    if (queue.empty() && video_ready) {
        SDL_Event event;
        Message translated;
        while (SDL_PollEvent(&event)) {
            if (!translate_event(event, &translated)) continue;
            if (translated.message == WM_KEYDOWN) pressed_since_idle.insert(translated.w_param);
            if (translated.message == WM_KEYUP && pressed_since_idle.count(translated.w_param)) {
                held_releases.push_back(translated);
            } else {
                queue.push_back(translated);
            }
        }
    }
    if (queue.empty()) {
        // An empty queue means an idle pass comes next: what it sees pressed
        // may be released after it.
        pressed_since_idle.clear();
        queue.insert(queue.end(), held_releases.begin(), held_releases.end());
        held_releases.clear();
        return false;
    }
    *message = queue.front();
    queue.pop_front();
    return true;
}

void translate_message(const Message* message) {
    if (message->message != WM_KEYDOWN) return;
    WParam key = message->w_param;
    bool character = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9') || key == VK_SPACE ||
                     key == VK_RETURN || key == VK_BACK || key == VK_TAB || key == VK_ESCAPE;
    if (!character) return;
    WParam code = (key >= 'A' && key <= 'Z') ? key + ('a' - 'A') : key;
    queue.push_back({message->window, WM_CHAR, code, message->l_param});
}

LResult dispatch_message(const Message* message) {
    PlatformWindow* window = message->window;
    if (window == nullptr || window->proc == nullptr) return 0;
    return window->proc(window, message->message, message->w_param, message->l_param);
}

void post_quit_message(int exit_code) {
    queue.push_back({nullptr, WM_QUIT, static_cast<WParam>(exit_code), 0});
}

void post_message(WindowHandle window, std::uint32_t message, WParam w_param, LParam l_param) {
    queue.push_back({window, message, w_param, l_param});
}

LResult def_window_proc(WindowHandle window, std::uint32_t message, WParam, LParam) {
    if (message == WM_CLOSE) destroy_window(window);
    return 0;
}

// ---------------------------------------------------------------------------
// Window class and windows.

InstanceHandle get_module_handle() {
    static char module_marker;
    return &module_marker;
}

bool register_class(const WindowClass& window_class) {
    if (step_fails(PlatformStep::register_class)) return false;
    for (const RegisteredClass& known : classes) {
        if (known.name == window_class.class_name) return false;
    }
    classes.push_back({window_class.class_name, window_class.window_proc, window_class.instance});
    ++counts.classes_registered;
    return true;
}

bool unregister_class(const char* class_name, InstanceHandle instance) {
    if (step_fails(PlatformStep::unregister_class)) return false;
    for (auto it = classes.begin(); it != classes.end(); ++it) {
        if (it->name == class_name && it->instance == instance) {
            classes.erase(it);
            ++counts.classes_unregistered;
            return true;
        }
    }
    return false;
}

bool adjust_window_rect(Rect*, std::uint32_t, std::uint32_t) { return true; }

static void apply_gl_attributes(const PixelFormatRequest& format) {
    // 16 colour bits ask for 5/6/5; more ask for 8 bits a channel. The display
    // may give more than asked, never less.
    int red = format.colour_bits <= 16 ? 5 : 8;
    int green = format.colour_bits <= 16 ? 6 : 8;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, red);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, green);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, red);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, format.depth_bits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, format.stencil_bits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (format.flags & PFD_DOUBLEBUFFER) ? 1 : 0);
}

WindowHandle create_window(std::uint32_t, const char* class_name, const char* title,
                           std::uint32_t style, int x, int y, int width, int height,
                           InstanceHandle instance) {
    if (step_fails(PlatformStep::create_window)) return nullptr;
    const RegisteredClass* window_class = nullptr;
    for (const RegisteredClass& known : classes) {
        if (known.name == class_name && known.instance == instance) window_class = &known;
    }
    if (window_class == nullptr || !ensure_video()) return nullptr;

    bool popup = (style & WS_POPUP) != 0;
    apply_gl_attributes(window_format);
    // A windowed window can be resized and maximised by the user; its size
    // changes reach the window procedure as WM_SIZE.
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    flags |= popup ? SDL_WINDOW_BORDERLESS : SDL_WINDOW_RESIZABLE;
    // Positions are relative to the display that held the last window, so
    // that F1 switches on the display the user is looking at.
    SDL_Rect bounds{0, 0, 0, 0};
    if (SDL_GetDisplayBounds(last_display, &bounds) != 0) bounds = SDL_Rect{0, 0, 0, 0};
    SDL_Window* sdl_window =
        SDL_CreateWindow(title, bounds.x + x, bounds.y + y, width, height, flags);
    if (sdl_window == nullptr) return nullptr;
    apply_window_icon(sdl_window);
    if (popup && full_screen_pending) SDL_SetWindowDisplayMode(sdl_window, &full_screen_mode);

    auto* window = new PlatformWindow{sdl_window, window_class->proc, popup, {}, false};
    window->dc = PlatformDeviceContext{window, false, {}, false};
    windows.push_back(window);
    ++counts.windows_created;
    // A new window learns its size before it is shown, while it has no
    // rendering context yet.
    if (window->proc != nullptr) window->proc(window, WM_SIZE, 0, make_lparam(width, height));
    return window;
}

bool destroy_window(WindowHandle window) {
    if (step_fails(PlatformStep::destroy_window)) return false;
    auto it = std::find(windows.begin(), windows.end(), window);
    if (it == windows.end()) return false;
    if (window->proc != nullptr) window->proc(window, WM_DESTROY, 0, 0);
    windows.erase(it);
    if (focus_window == window) focus_window = nullptr;
    int display = SDL_GetWindowDisplayIndex(window->sdl_window);
    if (display >= 0) last_display = display;
    SDL_DestroyWindow(window->sdl_window);
    // Messages still queued for the window go with it.
    for (std::deque<Message>* pending : {&queue, &held_releases}) {
        for (auto msg = pending->begin(); msg != pending->end();) {
            msg = msg->window == window ? pending->erase(msg) : msg + 1;
        }
    }
    update_screen_saver();
    delete window;
    ++counts.windows_destroyed;
    return true;
}

void show_window(WindowHandle window) {
    SDL_ShowWindow(window->sdl_window);
    if (window->popup && full_screen_pending) {
        SDL_SetWindowFullscreen(window->sdl_window, SDL_WINDOW_FULLSCREEN);
    }
}

void set_foreground_window(WindowHandle window) { SDL_RaiseWindow(window->sdl_window); }

void set_focus(WindowHandle window) {
    SDL_SetWindowInputFocus(window->sdl_window);
    focus_window = window;
}

WindowHandle get_focus() { return focus_window; }

// ---------------------------------------------------------------------------
// Device and rendering contexts. A window has exactly one device context of
// its own, handed out by get_dc.

DeviceContextHandle get_dc(WindowHandle window) {
    if (step_fails(PlatformStep::get_dc) || window == nullptr) return nullptr;
    window->dc.acquired = true;
    ++counts.dcs_got;
    return &window->dc;
}

bool release_dc(WindowHandle window, DeviceContextHandle dc) {
    if (step_fails(PlatformStep::release_dc)) return false;
    if (window == nullptr || dc != &window->dc || !dc->acquired) return false;
    dc->acquired = false;
    ++counts.dcs_released;
    return true;
}

int choose_pixel_format(DeviceContextHandle dc, const PixelFormatRequest* request) {
    if (step_fails(PlatformStep::choose_pixel_format)) return 0;
    if (dc == nullptr || request == nullptr) return 0;
    const std::uint32_t needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if ((request->flags & needed) != needed || request->pixel_type != PFD_TYPE_RGBA) return 0;
    return 1;
}

bool set_pixel_format(DeviceContextHandle dc, int format, const PixelFormatRequest* request) {
    if (step_fails(PlatformStep::set_pixel_format)) return false;
    if (dc == nullptr || format <= 0 || request == nullptr) return false;
    dc->format = *request;
    dc->format_set = true;
    window_format = *request;
    return true;
}

RenderContextHandle create_context(DeviceContextHandle dc) {
    if (step_fails(PlatformStep::create_context)) return nullptr;
    if (dc == nullptr || !dc->format_set) return nullptr;
    apply_gl_attributes(dc->format);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    // SDL makes a new context current at once; a rendering context here only
    // becomes current through make_current, so the binding is undone.
    SDL_Window* previous_window = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous_context = SDL_GL_GetCurrentContext();
    SDL_GLContext gl_context = SDL_GL_CreateContext(dc->window->sdl_window);
    if (gl_context == nullptr) return nullptr;
    SDL_GL_MakeCurrent(previous_window, previous_context);
    ++counts.contexts_created;
    return new PlatformRenderContext{gl_context, dc->window, false};
}

bool make_current(DeviceContextHandle dc, RenderContextHandle rc) {
    if (step_fails(PlatformStep::make_current)) return false;
    if (dc == nullptr && rc == nullptr) return SDL_GL_MakeCurrent(nullptr, nullptr) == 0;
    if (dc == nullptr || rc == nullptr) return false;
    if (SDL_GL_MakeCurrent(dc->window->sdl_window, rc->gl_context) != 0) return false;
    if (!rc->swap_interval_set) {
        // Pace the frames to the display where the driver can. Where it
        // cannot (llvmpipe under Xvfb, many virtual machines and remote
        // desktops), the loop would draw as fast as it can, spin a core and
        // run the animation several times too fast: swap_buffers then waits
        // out the display's refresh period itself.
        bool vsync = SDL_GL_SetSwapInterval(1) == 0 && SDL_GL_GetSwapInterval() == 1;
        rc->swap_interval_set = true;
        pace_swaps = !vsync;
        SDL_DisplayMode mode{};
        int display = SDL_GetWindowDisplayIndex(dc->window->sdl_window);
        int refresh = 60;
        if (display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 &&
            mode.refresh_rate > 0) {
            refresh = mode.refresh_rate;
        }
        swap_period = SDL_GetPerformanceFrequency() / static_cast<Uint64>(refresh);
        next_swap = 0;
    }
    return true;
}

bool delete_context(RenderContextHandle rc) {
    if (step_fails(PlatformStep::delete_context)) return false;
    if (rc == nullptr) return false;
    if (SDL_GL_GetCurrentContext() == rc->gl_context) SDL_GL_MakeCurrent(nullptr, nullptr);
    SDL_GL_DeleteContext(rc->gl_context);
    delete rc;
    ++counts.contexts_deleted;
    return true;
}

// Waits until the swap is due: one refresh period after the last one was.
// A frame that took longer than a period is not made up for.
static void wait_for_swap_time() {
    Uint64 now = SDL_GetPerformanceCounter();
    if (now < next_swap) {
        Uint64 frequency = SDL_GetPerformanceFrequency();
        SDL_Delay(static_cast<Uint32>(((next_swap - now) * 1000 + frequency - 1) / frequency));
        now = SDL_GetPerformanceCounter();
    }
    // On time, the next swap is due one period after this one was due; late
    // by a period or more, one period from now.
    bool late = now > next_swap && now - next_swap >= swap_period;
    next_swap = (late ? now : next_swap) + swap_period;
}

bool swap_buffers(DeviceContextHandle dc) {
    ++counts.swaps;
    if (dc == nullptr) return false;
    if (pace_swaps && pacing_allowed) wait_for_swap_time();
    SDL_GL_SwapWindow(dc->window->sdl_window);
    return true;
}

// ---------------------------------------------------------------------------
// Display modes and the cursor.

bool change_display_mode(int width, int height, int bits_per_pixel) {
    if (step_fails(PlatformStep::change_display_mode)) return false;
    if (!ensure_video()) return false;
    // The display must offer exactly width x height; SDL's "closest mode"
    // would hand back a larger one. Of such modes, the requested depth wins.
    // The mode is asked of the display that held the last window; the
    // full-screen window is created there.
    if (last_display >= SDL_GetNumVideoDisplays()) last_display = 0;
    int count = SDL_GetNumDisplayModes(last_display);
    bool found = false;
    SDL_DisplayMode chosen{};
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(last_display, i, &mode) != 0) continue;
        if (mode.w != width || mode.h != height) continue;
        if (!found || static_cast<int>(SDL_BITSPERPIXEL(mode.format)) == bits_per_pixel) {
            if (!found || static_cast<int>(SDL_BITSPERPIXEL(chosen.format)) != bits_per_pixel) {
                chosen = mode;
            }
            found = true;
        }
    }
    if (!found) return false;
    full_screen_mode = chosen;
    full_screen_pending = true;
    ++counts.display_mode_changes;
    return true;
}

void restore_display_mode() {
    // SDL returns the display to the desktop mode when the full-screen window
    // leaves full screen or is destroyed.
    for (PlatformWindow* window : windows) {
        if (window->popup) SDL_SetWindowFullscreen(window->sdl_window, 0);
    }
    full_screen_pending = false;
    ++counts.display_mode_restores;
}

void show_cursor(bool visible) {
    if (video_ready) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
    ++(visible ? counts.cursor_shows : counts.cursor_hides);
}

void disable_screen_saver() {
    screen_saver_refused = true;
    update_screen_saver();
}

// ---------------------------------------------------------------------------
// Message boxes.

static int SDLCALL run_box(void* argument) {
    auto* call = static_cast<BoxCall*>(argument);
    call->result = SDL_ShowMessageBox(&call->data, &call->answer);
    SDL_AtomicSet(&call->done, 1);
    return 0;
}

// What the main thread does with one event while a box is open. The box is
// modal: keys, buttons, pointer moves and the window manager's close request
// aimed at our windows are dropped, so nothing typed or clicked on the frozen
// window acts after the box closes. Size changes and the end of the session
// are kept for afterwards. Serving the events at all is what keeps the window
// manager from calling the program "Not Responding" (its pings are answered
// inside SDL's event pump).
static void serve_event_during_box(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
        case SDL_TEXTINPUT:
        case SDL_TEXTEDITING:
        case SDL_MOUSEMOTION:
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEWHEEL:
            return;
        case SDL_WINDOWEVENT: {
            PlatformWindow* window = find_window(event.window.windowID);
            if (window == nullptr || event.window.event == SDL_WINDOWEVENT_CLOSE) return;
            // X11 keeps no copy of a window's picture: a box moved across the
            // window wipes it. The last frame is still in the back buffer;
            // present it again. (Wayland compositors keep the picture.)
            if (event.window.event == SDL_WINDOWEVENT_EXPOSED &&
                std::strcmp(SDL_GetCurrentVideoDriver(), "x11") == 0 &&
                SDL_GL_GetCurrentWindow() == window->sdl_window) {
                SDL_GL_SwapWindow(window->sdl_window);
            }
            break;
        }
        default:
            break;
    }
    Message message;
    if (translate_event(event, &message)) queue.push_back(message);
}

// Shows the box on a thread of its own and serves the window system on this
// one until the box is closed. SDL's boxes are separate programs or processes
// (a forked X11 box, zenity on Wayland), so the thread only waits for them.
static int show_box(SDL_MessageBoxData data, int* answer) {
    BoxCall call{data, -1, -1, {0}};
    SDL_Thread* thread = SDL_CreateThread(run_box, "message box", &call);
    if (thread == nullptr) return SDL_ShowMessageBox(&data, answer);
    while (SDL_AtomicGet(&call.done) == 0) {
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, 20)) serve_event_during_box(event);
    }
    // SDL raises the window that had the keyboard before the box, which
    // gives it the keyboard back.
    SDL_WaitThread(thread, nullptr);
    *answer = call.answer;
    return call.result;
}

int message_box(WindowHandle owner, const char* text, const char* caption, unsigned flags) {
    if (box_hook != nullptr) return box_hook(owner, text, caption, flags);

    bool yes_no = (flags & 0x0F) == MB_YESNO;
    Uint32 kind = SDL_MESSAGEBOX_INFORMATION;
    switch (flags & 0xF0) {
        case MB_ICONSTOP:
            kind = SDL_MESSAGEBOX_ERROR;
            break;
        case MB_ICONEXCLAMATION:
            kind = SDL_MESSAGEBOX_WARNING;
            break;
        default:
            break;
    }
    const SDL_MessageBoxButtonData ok_buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
         "OK"}};
    const SDL_MessageBoxButtonData yes_no_buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"}};
    SDL_MessageBoxData data{};
    data.flags = kind;
    data.window = owner != nullptr ? owner->sdl_window : nullptr;
    data.title = caption;
    data.message = text;
    data.numbuttons = yes_no ? 2 : 1;
    data.buttons = yes_no ? yes_no_buttons : ok_buttons;
    int answer = -1;
    // Without a display SDL would still try its helper programs, which fail
    // quietly; the message would be lost. It goes to standard error instead.
    if (ensure_video() && show_box(data, &answer) == 0) {
        // A box closed without a button (its window closed) answers like Escape.
        if (answer == -1) return yes_no ? IDNO : IDOK;
        return answer;
    }
    // No box could be shown (no display): say it on standard error instead.
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    return yes_no ? IDNO : IDOK;
}

void set_message_box_hook(MessageBoxHook hook) { box_hook = hook; }

// ---------------------------------------------------------------------------
// Test hooks.

void platform_fail_step(PlatformStep step) { failing_steps.insert(step); }
void platform_clear_faults() { failing_steps.clear(); }
PlatformCounts platform_counts() { return counts; }
void platform_reset_counts() { counts = PlatformCounts{}; }
std::uint32_t platform_window_id(WindowHandle window) {
    return window != nullptr ? SDL_GetWindowID(window->sdl_window) : 0;
}
void platform_allow_swap_pacing(bool allowed) { pacing_allowed = allowed; }
