// The boxes of a test program that links box_recorder.cpp in place of the
// layer's message_box: each is recorded and answered with OK.
#pragma once

#include <string>
#include <vector>

#include "platform/window_system.h"

struct RecordedBox {
    WindowHandle owner;
    std::string text, caption;
    unsigned flags;
};

std::vector<RecordedBox>& recorded_boxes();
