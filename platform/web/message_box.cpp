// Modal message boxes: the page's <dialog id="box">, shown modal over the
// canvas (inside the element that goes full screen). The program waits for
// the answer: its loop stands still and the browser goes on serving the page.
#include <emscripten/emscripten.h>

#include "platform/web/message_queue.h"
#include "platform/web/wake_lock.h"

// Shows the box and waits for its answer: the button's, or `closed_answer`
// on Escape or when the browser closes it. The caption is the box's title
// and the text keeps its line breaks. The box takes its keys as a desktop
// box does, the same in every engine: Enter presses the button with the
// focus (the default one, the first, when none has it), Space the button
// with the focus, Escape closes, and Tab and Shift+Tab go round the buttons
// (the focus never leaves the box). It hears them wherever the focus is,
// after the page's key handler (which was there first, and which hands the
// program a key pressed during a box to be dropped): answered before that,
// the program would go on in time to take the key that answered, and an
// Escape that closed the box would end it too.
EM_ASYNC_JS(int, show_dialog, (const char* caption, const char* text, int yes_no,
                               int closed_answer), {
    const dialog = document.getElementById('box');
    dialog.querySelector('.caption').textContent = UTF8ToString(caption);
    dialog.querySelector('.text').textContent = UTF8ToString(text);
    const row = dialog.querySelector('.buttons');
    row.replaceChildren();
    const choices = yes_no ? [['Yes', 6], ['No', 7]] : [['OK', 1]];
    return await Module.orrery_wait(new Promise((resolve) => {
        const buttons = [];
        const finish = (answer) => {
            dialog.removeEventListener('cancel', on_cancel);
            window.removeEventListener('keydown', on_key);
            dialog.close();
            resolve(answer);
        };
        const on_cancel = (event) => {
            event.preventDefault();
            finish(closed_answer);
        };
        const on_key = (event) => {
            const focused = buttons.indexOf(document.activeElement);
            if (event.code === 'Escape') {
                finish(closed_answer);
            } else if (event.key === 'Enter') {
                finish(choices[Math.max(focused, 0)][1]);
            } else if (event.code === 'Space') {
                if (focused >= 0) finish(choices[focused][1]);
            } else if (event.code === 'Tab') {
                const step = event.shiftKey ? -1 : 1;
                const next = focused < 0 ? 0 : (focused + step + buttons.length) % buttons.length;
                buttons[next].focus();
            } else {
                return;
            }
            event.preventDefault();
        };
        choices.forEach((choice) => {
            const button = document.createElement('button');
            button.type = 'button';
            button.textContent = choice[0];
            button.addEventListener('click', () => finish(choice[1]));
            buttons.push(button);
            row.append(button);
        });
        dialog.addEventListener('cancel', on_cancel);
        window.addEventListener('keydown', on_key);
        dialog.showModal();
        buttons[0].focus();
    }));
});

int message_box(WindowHandle, const char* text, const char* caption, unsigned flags) {
    const bool yes_no = (flags & 0x0F) == MB_YESNO;
    begin_box_time();
    hold_wake_lock_for_box(true);
    int answer = show_dialog(caption ? caption : "", text ? text : "", yes_no ? 1 : 0,
                             yes_no ? IDNO : IDOK);
    hold_wake_lock_for_box(false);
    end_box_time();
    return answer;
}
