// Static vertex and index buffers on OpenGL ES 2: filled once, drawn from by
// the renderer (kept display lists and GLU's shapes).
#include <GLES2/gl2.h>

#include "platform/gl11/es_renderer.h"

std::uint32_t es_create_buffer() {
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    return buffer;
}

void es_delete_buffer(std::uint32_t buffer) {
    const GLuint name = buffer;
    if (name != 0) glDeleteBuffers(1, &name);
}

void es_fill_buffer(std::uint32_t buffer, bool indices, const void* data, std::size_t bytes) {
    const GLenum target = indices ? GL_ELEMENT_ARRAY_BUFFER : GL_ARRAY_BUFFER;
    glBindBuffer(target, buffer);
    glBufferData(target, static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
}
