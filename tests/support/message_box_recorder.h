// Replaces the window-system layer's message boxes with a recorder for the
// lifetime of the object: every box is kept with its owner, text, caption
// and flags, and answered with a chosen button.
#pragma once

#include <string>
#include <vector>

#include "platform/window_system.h"

struct RecordedBox {
    WindowHandle owner;
    std::string text;
    std::string caption;
    unsigned flags;
};

class MessageBoxRecorder {
   public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    // The answer given to Yes/No boxes (OK boxes always answer IDOK).
    void answer_yes_no_with(int answer);
    const std::vector<RecordedBox>& boxes() const;
    void clear();
};
