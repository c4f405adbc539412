#include "windows/box_recorder.h"

std::vector<RecordedBox>& recorded_boxes() {
    static std::vector<RecordedBox> boxes;
    return boxes;
}

int message_box(WindowHandle owner, const char* text, const char* caption, unsigned flags) {
    recorded_boxes().push_back({owner, text, caption, flags});
    return IDOK;
}
