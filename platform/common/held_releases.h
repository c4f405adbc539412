// Key releases held back for the idle pass. The loop reads F1 to F5 and
// Escape from the table of keys held down in its idle pass, so a key pressed
// and released between two idle passes would never act. The release of a key
// pressed since the last idle pass is therefore held back and queued after
// the next one: every press is seen by at least one idle pass. Both backends
// keep one of these beside their queue.
#pragma once

#include <deque>
#include <set>

#include "platform/window_system.h"

class HeldReleases {
   public:
    // Notes a message on its way into the queue. True when it is a release
    // that must wait for the next idle pass: it is kept here, not queued.
    bool hold(const Message& message);
    // Hands out the oldest message of `queue`. False when the queue has run
    // empty, so that an idle pass comes next: what it sees pressed may be
    // released after it, and the held releases go to `queue`.
    bool take_next(std::deque<Message>* queue, Message* message);
    // Drops the held releases addressed to `window` (it is being destroyed).
    void forget(WindowHandle window);

   private:
    std::deque<Message> held_;
    std::set<WParam> pressed_since_idle_;
};
