// Switches, fixed render state and the queries the program makes.
#include <GL/gl.h>

#include "platform/gl11/context.h"

static void set_capability(GLenum capability, bool on) {
    Gl11Context* c = current_context();
    if (c == nullptr || c->inside_begin) return;
    switch (capability) {
        case GL_LIGHTING:
            c->lighting = on;
            break;
        case GL_LIGHT0:
            c->light_on[0] = on;
            break;
        case GL_LIGHT1:
            c->light_on[1] = on;
            break;
        case GL_NORMALIZE:
            c->normalize = on;
            break;
        case GL_DEPTH_TEST:
            c->depth_test = on;
            break;
        case GL_TEXTURE_2D:
            c->texture_2d = on;
            break;
        case GL_COLOR_MATERIAL:
            // Switched on, the material takes the current colour at once.
            if (on && c->colour_material_mode == GL_AMBIENT_AND_DIFFUSE) {
                c->material_ambient = c->material_diffuse = c->colour;
            }
            c->colour_material = on;
            break;
        default:
            break;
    }
}

void gl11_enable(GLenum capability) { set_capability(capability, true); }
void gl11_disable(GLenum capability) { set_capability(capability, false); }

void gl11_polygon_mode(GLenum face, GLenum mode) {
    Gl11Context* c = current_context();
    if (c == nullptr || (mode != GL_POINT && mode != GL_LINE && mode != GL_FILL)) return;
    if (face == GL_FRONT || face == GL_FRONT_AND_BACK) c->polygon_mode_front = mode;
    if (face == GL_BACK || face == GL_FRONT_AND_BACK) c->polygon_mode_back = mode;
}

// Every vertex carries its own colour to the fragments: smooth shading is the
// one this subset draws.
void gl11_shade_model(GLenum mode) {
    if (Gl11Context* c = current_context()) c->shade_model = mode;
}

void gl11_color_material(GLenum face, GLenum mode) {
    Gl11Context* c = current_context();
    if (c == nullptr) return;
    c->colour_material_face = face;
    c->colour_material_mode = mode;
}

// Perspective correction is always at its best in ES 2.
void gl11_hint(GLenum, GLenum) {}

void gl11_depth_func(GLenum function) {
    if (Gl11Context* c = current_context()) c->depth_func = function;
}

void gl11_clear_color(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    const auto clamp = [](float v) { return v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v; };
    if (Gl11Context* c = current_context())
        c->clear_colour = {clamp(red), clamp(green), clamp(blue), clamp(alpha)};
}

void gl11_clear_depth(GLclampd depth) {
    if (Gl11Context* c = current_context())
        c->clear_depth = depth < 0.0 ? 0.0 : depth > 1.0 ? 1.0 : depth;
}

// Clearing writes no pixels in selection mode.
void gl11_clear(GLbitfield mask) {
    Gl11Context* c = current_context();
    if (c == nullptr || c->inside_begin || c->render_mode != GL_RENDER) return;
    es_clear(c->renderer, mask, c->clear_colour, c->clear_depth);
}

void gl11_get_integerv(GLenum name, GLint* values) {
    Gl11Context* c = current_context();
    if (c == nullptr || values == nullptr) return;
    if (name == GL_VIEWPORT) {
        for (int i = 0; i < 4; ++i) values[i] = c->viewport[i];
    } else if (name == GL_UNPACK_ALIGNMENT) {
        values[0] = c->unpack_alignment;
    } else if (name == GL_MATRIX_MODE) {
        values[0] = static_cast<GLint>(c->matrix_mode);
    } else if (name == GL_MAX_TEXTURE_SIZE) {
        values[0] = es_max_texture_size();
    }
}

void gl11_get_doublev(GLenum name, GLdouble* values) {
    Gl11Context* c = current_context();
    if (c == nullptr || values == nullptr) return;
    if (name == GL_MODELVIEW_MATRIX || name == GL_PROJECTION_MATRIX) {
        const Matrix& m = name == GL_MODELVIEW_MATRIX ? c->modelview.top() : c->projection.top();
        for (int i = 0; i < 16; ++i) values[i] = m[i];
    } else if (name == GL_MATRIX_MODE) {
        values[0] = c->matrix_mode;
    }
}

void gl11_pixel_storei(GLenum name, GLint value) {
    Gl11Context* c = current_context();
    if (c == nullptr || name != GL_UNPACK_ALIGNMENT) return;
    if (value == 1 || value == 2 || value == 4 || value == 8) c->unpack_alignment = value;
}
