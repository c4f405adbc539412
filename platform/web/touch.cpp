// Touch on the canvas. One finger: a tap (lifted within tap_slop of where it
// came down) is a left click there; moved farther, it is a right-drag from
// where it came down, turning the view a degree a pixel of the picture as the
// mouse does. Two fingers: a pinch, a keypad plus for each factor of
// pinch_step_ratio the fingers move apart, a keypad minus for each they come
// together; a drag under way ends when the second finger comes, and nothing
// more happens until every finger is lifted. The page neither scrolls nor
// zooms under the canvas, and the browser makes no mouse events of the touches.
#include "platform/web/touch.h"

#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/web/input.h"
#include "platform/web/message_queue.h"
#include "platform/web/web_windows.h"

// Farthest a tap may move, in CSS pixels: about a fingertip's tremble.
static constexpr double tap_slop = 10.0;
// The factor of the fingers' gap that makes one keypad step. From the start
// scale 1.0 the picture then grows about as the fingers part (twice the gap,
// 3 steps: scale 1.9).
static constexpr double pinch_step_ratio = 1.25;

static constexpr WParam mk_rbutton = 0x0002;

struct Finger {
    long id;
    double start_x, start_y;  // where it came down, CSS pixels of the viewport
    double x, y;              // where it is now
};
enum class Gesture { none, maybe_tap, turning, pinching, finished };

// ---------------------------------------------------------------------------
// Touch state. Written and read by the touch handlers only.
static std::vector<Finger> fingers;  // on the canvas, oldest first
static Gesture gesture = Gesture::none;
static double pinch_start_gap = 0;  // the first two fingers' gap as the pinch began
static int pinch_made = 0;          // keypad steps made by this pinch, plus positive

static void post(std::uint32_t message, WParam w_param, double x, double y) {
    WindowHandle window = current_window();
    if (window != nullptr) post_message({window, message, w_param, canvas_position(x, y)});
}

static void post_key(WParam key) {
    WindowHandle window = current_window();
    if (window == nullptr) return;
    post_message({window, WM_KEYDOWN, key, 1});
    post_message({window, WM_KEYUP, key, 1});
}

static double gap() { return std::hypot(fingers[1].x - fingers[0].x, fingers[1].y - fingers[0].y); }

// The pinch's keypad steps so far: each whole factor of pinch_step_ratio
// beyond the last step makes the next one, so that a trembling finger never
// steps back and forth.
static void follow_pinch() {
    if (pinch_start_gap <= 0) return;
    const double level =
        std::log(std::max(gap(), 1.0) / pinch_start_gap) / std::log(pinch_step_ratio);
    for (; level >= pinch_made + 1; ++pinch_made) post_key(VK_ADD);
    for (; level <= pinch_made - 1; --pinch_made) post_key(VK_SUBTRACT);
}

static Finger* finger(long id) {
    for (Finger& known : fingers) {
        if (known.id == id) return &known;
    }
    return nullptr;
}

static EM_BOOL on_touch_start(int, const EmscriptenTouchEvent* event, void*) {
    for (int i = 0; i < event->numTouches; ++i) {
        const EmscriptenTouchPoint& point = event->touches[i];
        if (!point.isChanged || finger(point.identifier) != nullptr) continue;
        const double x = point.clientX, y = point.clientY;
        fingers.push_back({point.identifier, x, y, x, y});
    }
    if (fingers.size() == 1 && gesture == Gesture::none) gesture = Gesture::maybe_tap;
    if (fingers.size() >= 2 && gesture != Gesture::pinching && gesture != Gesture::finished) {
        if (gesture == Gesture::turning) post(WM_RBUTTONUP, 0, fingers[0].x, fingers[0].y);
        gesture = Gesture::pinching;
        pinch_start_gap = gap();
        pinch_made = 0;
    }
    return EM_TRUE;
}

static EM_BOOL on_touch_move(int, const EmscriptenTouchEvent* event, void*) {
    for (int i = 0; i < event->numTouches; ++i) {
        const EmscriptenTouchPoint& point = event->touches[i];
        if (Finger* moved = finger(point.identifier); moved != nullptr && point.isChanged) {
            moved->x = point.clientX;
            moved->y = point.clientY;
        }
    }
    if (fingers.empty()) return EM_TRUE;
    const Finger& first = fingers[0];
    if (gesture == Gesture::maybe_tap &&
        std::hypot(first.x - first.start_x, first.y - first.start_y) > tap_slop) {
        // The turn counts from where the finger came down.
        gesture = Gesture::turning;
        post(WM_MOUSEMOVE, 0, first.start_x, first.start_y);
        post(WM_RBUTTONDOWN, mk_rbutton, first.start_x, first.start_y);
    }
    if (gesture == Gesture::turning) post(WM_MOUSEMOVE, mk_rbutton, first.x, first.y);
    if (gesture == Gesture::pinching && fingers.size() >= 2) follow_pinch();
    return EM_TRUE;
}

// A lifted finger (touchend) or one the browser took over (touchcancel: no
// tap then).
static EM_BOOL on_touch_end(int event_type, const EmscriptenTouchEvent* event, void*) {
    const bool lifted = event_type == EMSCRIPTEN_EVENT_TOUCHEND;
    for (int i = 0; i < event->numTouches; ++i) {
        const EmscriptenTouchPoint& point = event->touches[i];
        const Finger* gone = finger(point.identifier);
        if (!point.isChanged || gone == nullptr) continue;
        if (gesture == Gesture::maybe_tap && lifted) {
            post(WM_LBUTTONDOWN, 0x0001, gone->start_x, gone->start_y);
            post(WM_LBUTTONUP, 0, gone->start_x, gone->start_y);
        }
        if (gesture == Gesture::turning) post(WM_RBUTTONUP, 0, gone->x, gone->y);
        if (gesture != Gesture::none) gesture = Gesture::finished;
        fingers.erase(fingers.begin() + (gone - fingers.data()));
    }
    if (fingers.empty()) gesture = Gesture::none;
    return EM_TRUE;
}

void listen_to_touch() {
    static bool listening = false;
    if (listening) return;
    listening = true;
    const char* canvas = "#canvas";
    emscripten_set_touchstart_callback(canvas, nullptr, EM_FALSE, on_touch_start);
    emscripten_set_touchmove_callback(canvas, nullptr, EM_FALSE, on_touch_move);
    emscripten_set_touchend_callback(canvas, nullptr, EM_FALSE, on_touch_end);
    emscripten_set_touchcancel_callback(canvas, nullptr, EM_FALSE, on_touch_end);
}
