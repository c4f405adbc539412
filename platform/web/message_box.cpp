// Modal message boxes: the page's <dialog id="box">, shown modal over the
// canvas (inside the element that goes full screen). The program waits for
// the answer: its loop stands still and the browser goes on serving the page.
#include <emscripten/emscripten.h>

#include "platform/web/message_queue.h"
#include "platform/web/wake_lock.h"

// Shows the box and waits for its answer: the button's, or `closed_answer`
// when the browser closes it (Escape). Enter chooses the default button, the
// first; the caption is the box's title and the text keeps its line breaks.
EM_ASYNC_JS(int, show_dialog, (const char* caption, const char* text, int yes_no,
                               int closed_answer), {
    const dialog = document.getElementById('box');
    dialog.querySelector('.caption').textContent = UTF8ToString(caption);
    dialog.querySelector('.text').textContent = UTF8ToString(text);
    const row = dialog.querySelector('.buttons');
    row.replaceChildren();
    const choices = yes_no ? [['Yes', 6], ['No', 7]] : [['OK', 1]];
    return await Module.orrery_wait(new Promise((resolve) => {
        const finish = (answer) => {
            dialog.removeEventListener('cancel', on_cancel);
            dialog.removeEventListener('keydown', on_key);
            dialog.close();
            resolve(answer);
        };
        const on_cancel = (event) => {
            event.preventDefault();
            finish(closed_answer);
        };
        // Enter on a button presses that button; anywhere else in the box it
        // chooses the default one.
        const on_key = (event) => {
            if (event.key !== 'Enter' || event.target.tagName === 'BUTTON') return;
            event.preventDefault();
            finish(choices[0][1]);
        };
        choices.forEach((choice) => {
            const button = document.createElement('button');
            button.type = 'button';
            button.textContent = choice[0];
            button.addEventListener('click', () => finish(choice[1]));
            row.append(button);
        });
        dialog.addEventListener('cancel', on_cancel);
        dialog.addEventListener('keydown', on_key);
        dialog.showModal();
        row.firstChild.focus();
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
