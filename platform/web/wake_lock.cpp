// The screen's wake lock through the browser's Screen Wake Lock API. The
// program asks once, when its loop starts, to keep the display on; the lock
// is then held while the program animates and no box is open, and let go at
// its end (Escape, or an error that stops it), as the desktop keeps the
// display on only while the program is the active one.
#include "platform/web/wake_lock.h"

#include <emscripten/emscripten.h>

// ---------------------------------------------------------------------------
// Wake-lock state. Written by disable_screen_saver (asked), follow_pause_key
// (paused, from the queue's peek) and hold_wake_lock_for_box (box, from the
// message box); read by update_wake_lock.
static bool asked = false;   // the program wants the display kept on
static bool paused = false;  // the program's animation is stopped (Space)
static bool box = false;     // a box is open

// The page's half: holds a lock while the program wants one and the page is
// visible, asks again when the page is shown again (the browser drops the
// lock of a hidden page), and lets go for good when the program ends. Where
// the browser has no such lock or refuses it (a frame whose page does not
// allow it), nothing is held and nothing fails.
EM_JS(void, set_wake_lock_wanted, (int wanted), {
    let lock = Module.orrery_wake_lock;
    if (!lock) {
        lock = Module.orrery_wake_lock = {wanted: false, ended: false, sentinel: null, asking: false};
        const apply = () => {
            const hold = lock.wanted && !lock.ended && document.visibilityState === 'visible';
            if (hold && !lock.sentinel && !lock.asking && navigator.wakeLock) {
                lock.asking = true;
                navigator.wakeLock.request('screen').then((sentinel) => {
                    lock.asking = false;
                    lock.sentinel = sentinel;
                    sentinel.addEventListener('release', () => {
                        if (lock.sentinel === sentinel) lock.sentinel = null;
                    });
                    apply();  // the wish may have changed while the browser answered
                }, () => { lock.asking = false; });
            } else if (!hold && lock.sentinel) {
                const sentinel = lock.sentinel;
                lock.sentinel = null;
                sentinel.release().catch(() => {});
            }
        };
        lock.apply = apply;
        document.addEventListener('visibilitychange', apply);
        // The end, however it comes; the page's own handlers still run after.
        for (const end of ['onExit', 'onAbort']) {
            const page_handler = Module[end];
            Module[end] = (...what) => {
                lock.ended = true;
                apply();
                if (page_handler) return page_handler(...what);
            };
        }
    }
    lock.wanted = wanted !== 0;
    lock.apply();
});

static void update_wake_lock() {
    if (asked) set_wake_lock_wanted(!paused && !box ? 1 : 0);
}

void follow_pause_key(const Message& message) {
    if (message.message != WM_KEYDOWN || message.w_param != VK_SPACE) return;
    paused = !paused;
    update_wake_lock();
}

void hold_wake_lock_for_box(bool box_open) {
    box = box_open;
    update_wake_lock();
}

void disable_screen_saver() {
    asked = true;
    update_wake_lock();
}
