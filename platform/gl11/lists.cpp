// Display lists: the calls made between glNewList and glEndList are kept and
// carried out again by glCallList, with the state current then. Kept are the
// calls the program makes inside its lists: immediate-mode vertices with their
// attributes and texture uploads (with their own copy of the pixels); every
// other call is carried out at once. The vertices go to ES 2 once
// (kept_list.h).
#include <GL/gl.h>

#include "platform/gl11/context.h"
#include "platform/gl11/kept_list.h"

// OpenGL's least guaranteed nesting of glCallList.
static constexpr int call_depth_limit = 64;

static bool name_used(const Gl11Context& c, GLuint name) {
    return c.lists.count(name) != 0 || c.reserved_lists.count(name) != 0;
}

GLuint gl11_gen_lists(GLsizei range) {
    Gl11Context* c = current_context();
    if (c == nullptr || range <= 0) return 0;
    // The first run of `range` unused names.
    GLuint first = 1;
    for (GLuint name = first; name - first < static_cast<GLuint>(range); ++name) {
        if (name == 0) return 0;  // wrapped around: no names left
        if (name_used(*c, name)) first = name + 1;
    }
    for (GLsizei i = 0; i < range; ++i) c->reserved_lists[first + i] = true;
    return first;
}

void gl11_new_list(GLuint list, GLenum mode) {
    Gl11Context* c = current_context();
    if (c == nullptr || list == 0 || c->recording_list != 0 || c->inside_begin) return;
    if (mode != GL_COMPILE && mode != GL_COMPILE_AND_EXECUTE) return;
    c->recording_list = list;
    c->recording_mode = mode;
    c->recording.clear();
}

void gl11_end_list() {
    Gl11Context* c = current_context();
    if (c == nullptr || c->recording_list == 0) return;
    DisplayList& list = c->lists[c->recording_list];
    // Kept as geometry when it can be; otherwise as its commands.
    list.kept = keep_commands(c->recording);
    list.commands = nullptr;
    if (list.kept == nullptr)
        list.commands = std::make_shared<const std::vector<ListCommand>>(std::move(c->recording));
    c->reserved_lists.erase(c->recording_list);
    c->recording = {};
    c->recording_list = 0;
}

void gl11_call_list(GLuint list) {
    Gl11Context* c = current_context();
    if (c == nullptr) return;
    ListCommand call{};
    call.kind = ListCommand::Kind::call;
    call.list = list;
    if (record(call)) return;
    const auto found = c->lists.find(list);
    if (found == c->lists.end() || c->call_depth >= call_depth_limit) return;
    // Held while it runs: a list may be replaced meanwhile (by a list it calls).
    const DisplayList held = found->second;
    ++c->call_depth;
    if (held.kept != nullptr) {
        call_kept(*c, *held.kept);
    } else if (held.commands != nullptr) {
        for (const ListCommand& command : *held.commands) run_command(command);
    }
    --c->call_depth;
}
