// Texture objects, their parameters and images, and the texture environment.
#include "platform/gl11/textures.h"

#include <GL/gl.h>

#include <memory>

#include "platform/gl11/context.h"

void gl11_gen_textures(GLsizei count, GLuint* names) {
    Gl11Context* c = current_context();
    if (c == nullptr || names == nullptr) return;
    GLuint name = 1;
    for (GLsizei i = 0; i < count; ++i) {
        while (c->textures.count(name) != 0) ++name;
        c->textures[name].es_texture = es_create_texture();
        names[i] = name++;
    }
}

void gl11_bind_texture(GLenum target, GLuint name) {
    Gl11Context* c = current_context();
    if (c == nullptr || target != GL_TEXTURE_2D || c->inside_begin) return;
    TextureObject& texture = c->textures[name];
    if (texture.es_texture == 0) texture.es_texture = es_create_texture();
    c->bound_texture = name;
}

void gl11_tex_parameteri(GLenum target, GLenum name, GLint value) {
    Gl11Context* c = current_context();
    if (c == nullptr || target != GL_TEXTURE_2D) return;
    if (name != GL_TEXTURE_MIN_FILTER && name != GL_TEXTURE_MAG_FILTER &&
        name != GL_TEXTURE_WRAP_S && name != GL_TEXTURE_WRAP_T) {
        return;
    }
    es_flush(c->renderer);
    TextureObject& texture = c->textures[c->bound_texture];
    if (name == GL_TEXTURE_MIN_FILTER) texture.min_filter = value;
    es_texture_parameter(texture.es_texture, name, value);
}

// Only modulation is drawn, the one mode the program sets.
void gl11_tex_envi(GLenum target, GLenum name, GLint value) {
    Gl11Context* c = current_context();
    if (c != nullptr && target == GL_TEXTURE_ENV && name == GL_TEXTURE_ENV_MODE) {
        c->texture_env_mode = value;
    }
}

void upload_texture_image(Gl11Context& c, const RecordedImage& image) {
    es_flush(c.renderer);
    TextureObject& texture = c.textures[c.bound_texture];
    es_texture_image(texture.es_texture, image.width, image.height, image.rgb.data());
    texture.width = image.width;
    texture.height = image.height;
}

// Level 0 of a three-component picture of unsigned bytes, as the program
// uploads it. The rows are read with the unpack alignment in force now, also
// when a display list records the upload: the list keeps its own packed copy.
// Sides beyond the largest texture size make the call a no-op.
void gl11_tex_image2d(GLenum target, GLint level, GLint internal_format, GLsizei width,
                      GLsizei height, GLint border, GLenum format, GLenum type,
                      const GLvoid* pixels) {
    Gl11Context* c = current_context();
    if (c == nullptr || c->inside_begin || target != GL_TEXTURE_2D || level != 0 || border != 0 ||
        (internal_format != 3 && internal_format != GL_RGB) || format != GL_RGB ||
        type != GL_UNSIGNED_BYTE || width < 0 || height < 0) {
        return;
    }
    const int limit = es_max_texture_size();
    if (width > limit || height > limit) return;
    auto image = std::make_shared<RecordedImage>();
    image->width = width;
    image->height = height;
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    const std::size_t align = static_cast<std::size_t>(c->unpack_alignment);
    const std::size_t stride = (row + align - 1) / align * align;
    image->rgb.assign(row * static_cast<std::size_t>(height), 0);
    if (pixels != nullptr) {
        const auto* from = static_cast<const unsigned char*>(pixels);
        for (GLsizei y = 0; y < height; ++y) {
            std::copy(from + y * stride, from + y * stride + row, image->rgb.begin() + y * row);
        }
    }
    ListCommand command{};
    command.kind = ListCommand::Kind::tex_image;
    command.image = image;
    if (record(command)) return;
    upload_texture_image(*c, *image);
}
