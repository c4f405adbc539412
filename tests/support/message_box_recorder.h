// While it lives, boxes are recorded, answered IDOK or (Yes/No) with the chosen button.
#pragma once

#include <string>
#include <vector>

#include "support/layer_seam.h"

struct RecordedBox {
    WindowHandle owner;
    std::string text, caption;
    unsigned flags;
};

class MessageBoxRecorder {
   public:
    MessageBoxRecorder() { seam::replace_boxes(record); }
    ~MessageBoxRecorder() { seam::replace_boxes(nullptr), clear(), answer_yes_no_with(IDYES); }
    void answer_yes_no_with(int answer) { yes_no_answer_ = answer; }
    const std::vector<RecordedBox>& boxes() const { return boxes_; }
    void clear() { boxes_.clear(); }

   private:
    static int record(WindowHandle owner, const char* text, const char* caption, unsigned flags) {
        boxes_.push_back({owner, text, caption, flags});
        return (flags & 0x0F) == MB_YESNO ? yes_no_answer_ : IDOK;
    }
    static inline std::vector<RecordedBox> boxes_;
    static inline int yes_no_answer_ = IDYES;
};
