// Message-box recorder for tests.
#include "support/message_box_recorder.h"

// Written by the hook, read by the recorder's accessors.
static std::vector<RecordedBox> recorded_boxes;
static int yes_no_answer = IDYES;

static int record_box(WindowHandle owner, const char* text, const char* caption, unsigned flags) {
    recorded_boxes.push_back({owner, text ? text : "", caption ? caption : "", flags});
    return (flags & 0x0F) == MB_YESNO ? yes_no_answer : IDOK;
}

MessageBoxRecorder::MessageBoxRecorder() {
    recorded_boxes.clear();
    yes_no_answer = IDYES;
    set_message_box_hook(record_box);
}

MessageBoxRecorder::~MessageBoxRecorder() { set_message_box_hook(nullptr); }

void MessageBoxRecorder::answer_yes_no_with(int answer) { yes_no_answer = answer; }

const std::vector<RecordedBox>& MessageBoxRecorder::boxes() const { return recorded_boxes; }

void MessageBoxRecorder::clear() { recorded_boxes.clear(); }
