#include "platform/common/held_releases.h"

#include <algorithm>

bool HeldReleases::hold(const Message& message) {
    if (message.message == WM_KEYDOWN) pressed_since_idle_.insert(message.w_param);
    if (message.message != WM_KEYUP || pressed_since_idle_.count(message.w_param) == 0) {
        return false;
    }
    held_.push_back(message);
    return true;
}

bool HeldReleases::take_next(std::deque<Message>* queue, Message* message) {
    if (queue->empty()) {
        pressed_since_idle_.clear();
        queue->insert(queue->end(), held_.begin(), held_.end());
        held_.clear();
        return false;
    }
    *message = queue->front();
    queue->pop_front();
    return true;
}

void HeldReleases::forget(WindowHandle window) {
    held_.erase(
        std::remove_if(held_.begin(), held_.end(),
                       [window](const Message& message) { return message.window == window; }),
        held_.end());
}
