// Replaces the window-system layer's message boxes with a recorder for the lifetime of the
// object: every box is kept with its owner, text, caption and flags, and answered with a chosen
// button (OK boxes always with IDOK).
#pragma once

#include <string>
#include <vector>

#include "platform/window_system.h"

struct RecordedBox {
    WindowHandle owner;
    std::string text, caption;
    unsigned flags;
};

class MessageBoxRecorder {
   public:
    MessageBoxRecorder() {
        boxes_.clear(), yes_no_answer_ = IDYES;
        set_message_box_hook(
            [](WindowHandle owner, const char* text, const char* caption, unsigned flags) {
                boxes_.push_back({owner, text ? text : "", caption ? caption : "", flags});
                return (flags & 0x0F) == MB_YESNO ? yes_no_answer_ : IDOK;
            });
    }
    ~MessageBoxRecorder() { set_message_box_hook(nullptr); }
    void answer_yes_no_with(int answer) { yes_no_answer_ = answer; }
    const std::vector<RecordedBox>& boxes() const { return boxes_; }
    void clear() { boxes_.clear(); }

   private:
    static inline std::vector<RecordedBox> boxes_;
    static inline int yes_no_answer_ = IDYES;
};
