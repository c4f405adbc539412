// The application's calls of `f` come to __wrap_f; __real_f is the layer's own.
#include "support/layer_seam.h"

#include <set>
static std::set<std::string> failing;      // steps whose next call fails
static seam::Held counts{};                // what the layer holds now
static seam::BoxFunction boxes = nullptr;  // where the boxes go instead
void seam::fail_once(const std::string& step) { failing.insert(step); }
seam::Held seam::held() { return counts; }
void seam::reset() { failing.clear(), counts = Held{}; }
void seam::replace_boxes(BoxFunction box) { boxes = box; }
// Fails once as asked (null, false or 0, as the layer fails); else, on success, adds `held`.
#define WRAPPED_STEP(type, name, parameters, arguments, held) \
    extern "C" type __real_##name parameters;                 \
    extern "C" type __wrap_##name parameters {                \
        if (failing.erase(#name) > 0) return type{};          \
        type result = __real_##name arguments;                \
        if (result) counts.things += held;                    \
        return result;                                        \
    }
WRAPPED_STEP(bool, register_class, (const WindowClass& c), (c), 1)
WRAPPED_STEP(bool, unregister_class, (const char* name, InstanceHandle instance), (name, instance),
             -1)
WRAPPED_STEP(bool, change_display_mode, (int width, int height, int bits), (width, height, bits), 1)
WRAPPED_STEP(WindowHandle, create_window,
             (std::uint32_t ex_style, const char* class_name, const char* title,
              std::uint32_t style, int x, int y, int width, int height, InstanceHandle instance),
             (ex_style, class_name, title, style, x, y, width, height, instance), 1)
WRAPPED_STEP(bool, destroy_window, (WindowHandle window), (window), -1)
WRAPPED_STEP(DeviceContextHandle, get_dc, (WindowHandle window), (window), 1)
WRAPPED_STEP(bool, release_dc, (WindowHandle window, DeviceContextHandle dc), (window, dc), -1)
WRAPPED_STEP(int, choose_pixel_format, (DeviceContextHandle dc, const PixelFormatRequest* request),
             (dc, request), 0)
WRAPPED_STEP(bool, set_pixel_format,
             (DeviceContextHandle dc, int format, const PixelFormatRequest* request),
             (dc, format, request), 0)
WRAPPED_STEP(RenderContextHandle, create_context, (DeviceContextHandle dc), (dc), 1)
WRAPPED_STEP(bool, make_current, (DeviceContextHandle dc, RenderContextHandle rc), (dc, rc), 0)
WRAPPED_STEP(bool, delete_context, (RenderContextHandle rc), (rc), -1)
extern "C" void __real_restore_display_mode();
extern "C" void __wrap_restore_display_mode() { __real_restore_display_mode(), --counts.things; }
extern "C" bool __real_swap_buffers(DeviceContextHandle dc);
extern "C" bool __wrap_swap_buffers(DeviceContextHandle dc) {
    return ++counts.swaps, __real_swap_buffers(dc);
}
extern "C" int __real_message_box(WindowHandle, const char*, const char*, unsigned);
extern "C" int __wrap_message_box(WindowHandle owner, const char* text, const char* caption,
                                  unsigned flags) {
    return (boxes != nullptr ? boxes : __real_message_box)(owner, text, caption, flags);
}
