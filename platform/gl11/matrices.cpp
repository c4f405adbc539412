// The matrix stacks and the viewport.
#include <GL/gl.h>

#include "platform/gl11/context.h"

static MatrixStack* stack(Gl11Context* c) {
    if (c == nullptr || c->inside_begin) return nullptr;
    return c->matrix_mode == GL_PROJECTION ? &c->projection : &c->modelview;
}

void gl11_matrix_mode(GLenum mode) {
    Gl11Context* c = current_context();
    if (c != nullptr && (mode == GL_MODELVIEW || mode == GL_PROJECTION)) c->matrix_mode = mode;
}

void gl11_load_identity() {
    if (MatrixStack* s = stack(current_context())) s->top() = identity_matrix();
}

// Pushing onto a full stack or popping its last matrix changes nothing.
void gl11_push_matrix() {
    MatrixStack* s = stack(current_context());
    if (s != nullptr && s->matrices.size() < s->depth_limit) s->matrices.push_back(s->top());
}

void gl11_pop_matrix() {
    MatrixStack* s = stack(current_context());
    if (s != nullptr && s->matrices.size() > 1) s->matrices.pop_back();
}

static void multiply_top(const Matrix& m) {
    if (MatrixStack* s = stack(current_context())) s->top() = multiply(s->top(), m);
}

void gl11_mult_matrixd(const GLdouble* matrix) {
    Matrix m{};
    for (int i = 0; i < 16; ++i) m[i] = static_cast<float>(matrix[i]);
    multiply_top(m);
}

void gl11_rotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    multiply_top(rotation_matrix(angle, x, y, z));
}

void gl11_translatef(GLfloat x, GLfloat y, GLfloat z) { multiply_top(translation_matrix(x, y, z)); }

void gl11_scalef(GLfloat x, GLfloat y, GLfloat z) { multiply_top(scale_matrix(x, y, z)); }

void gl11_viewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    Gl11Context* c = current_context();
    if (c == nullptr || width < 0 || height < 0) return;
    es_flush(c->renderer);
    c->viewport = {x, y, width, height};
    es_viewport(x, y, width, height);
}
