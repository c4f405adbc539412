// Immediate mode: glBegin, the vertex attributes, glEnd.
#include <GL/gl.h>

#include "platform/gl11/context.h"

static ListCommand command(ListCommand::Kind kind, float a = 0, float b = 0, float c = 0,
                           float d = 0) {
    ListCommand command{};
    command.kind = kind;
    command.v[0] = a, command.v[1] = b, command.v[2] = c, command.v[3] = d;
    return command;
}

void gl11_begin(GLenum mode) {
    ListCommand begin = command(ListCommand::Kind::begin);
    begin.mode = mode;
    if (record(begin)) return;
    Gl11Context* c = current_context();
    if (c == nullptr || c->inside_begin || mode > GL_POLYGON) return;
    c->inside_begin = true;
    c->primitive = mode;
    c->vertices.clear();
}

void gl11_end() {
    if (record(command(ListCommand::Kind::end))) return;
    Gl11Context* c = current_context();
    if (c == nullptr || !c->inside_begin) return;
    c->inside_begin = false;
    submit_primitive(*c, c->primitive, c->vertices);
}

void gl11_vertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (record(command(ListCommand::Kind::vertex, x, y, z))) return;
    Gl11Context* c = current_context();
    if (c == nullptr || !c->inside_begin) return;
    EsVertex v{};
    v.position[0] = x, v.position[1] = y, v.position[2] = z;
    for (int i = 0; i < 3; ++i) v.normal[i] = c->normal[i];
    for (int i = 0; i < 2; ++i) v.tex_coord[i] = c->tex_coord[i];
    for (int i = 0; i < 4; ++i) v.colour[i] = c->colour[i];
    c->vertices.push_back(v);
}

void gl11_normal3f(GLfloat x, GLfloat y, GLfloat z) {
    if (record(command(ListCommand::Kind::normal, x, y, z))) return;
    if (Gl11Context* c = current_context()) c->normal = {x, y, z};
}

void gl11_tex_coord2f(GLfloat s, GLfloat t) {
    if (record(command(ListCommand::Kind::tex_coord, s, t))) return;
    if (Gl11Context* c = current_context()) c->tex_coord = {s, t};
}

void gl11_color3f(GLfloat red, GLfloat green, GLfloat blue) {
    if (record(command(ListCommand::Kind::colour, red, green, blue, 1.0f))) return;
    Gl11Context* c = current_context();
    if (c == nullptr) return;
    c->colour = {red, green, blue, 1.0f};
    // While colour material is on, the colour is also the material it tracks.
    if (c->colour_material && c->colour_material_mode == GL_AMBIENT_AND_DIFFUSE) {
        c->material_ambient = c->material_diffuse = c->colour;
    }
}

// Each byte maps to its fraction of 255.
void gl11_color3ub(GLubyte red, GLubyte green, GLubyte blue) {
    gl11_color3f(red / 255.0f, green / 255.0f, blue / 255.0f);
}
