// The program's end. Returning from a main that has waited for the browser
// ends nothing in this Emscripten: the page would never learn of it. But the
// program only ever stops by waiting (for a frame, a box's answer or full
// screen), each wait through Module.orrery_wait, and once a wait is over it
// goes on at once, in the same turn of the browser's event loop, to its next
// wait or to its end. So when a turn after a wait finds it waiting for
// nothing, main has returned, and the runtime is ended as an exit would.
#include "platform/web/program_end.h"

#include <emscripten/emscripten.h>

extern "C" EMSCRIPTEN_KEEPALIVE void orrery_main_returned() { emscripten_force_exit(0); }

// The exit ends by throwing Emscripten's ExitStatus, as exit() does, which
// here has nobody above to catch it.
EM_JS(void, install_end_watch, (), {
    if (Module.orrery_wait) return;
    let waits = 0;
    let ended = false;
    const end_if_idle = () => {
        if (waits > 0 || ended) return;
        ended = true;
        try {
            _orrery_main_returned();
        } catch (thrown) {
            if (!thrown || thrown.name !== 'ExitStatus') throw thrown;
        }
    };
    Module.orrery_wait = async (promise) => {
        waits += 1;
        try {
            return await promise;
        } finally {
            waits -= 1;
            setTimeout(end_if_idle, 0);
        }
    };
});

void watch_for_the_end() { install_end_watch(); }
