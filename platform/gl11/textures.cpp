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
        TextureObject& texture = c->textures[name];
        texture.own_es_texture = texture.es_texture = es_create_texture();
        names[i] = name++;
    }
}

void gl11_bind_texture(GLenum target, GLuint name) {
    Gl11Context* c = current_context();
    if (c == nullptr || target != GL_TEXTURE_2D || c->inside_begin) return;
    TextureObject& texture = c->textures[name];
    if (texture.own_es_texture == 0)
        texture.own_es_texture = texture.es_texture = es_create_texture();
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
    GLint& parameter = name == GL_TEXTURE_MIN_FILTER   ? texture.min_filter
                       : name == GL_TEXTURE_MAG_FILTER ? texture.mag_filter
                       : name == GL_TEXTURE_WRAP_S     ? texture.wrap_s
                                                       : texture.wrap_t;
    parameter = value;
    es_texture_parameter(texture.es_texture, name, value);
}

// Only modulation is drawn, the one mode the program sets.
void gl11_tex_envi(GLenum target, GLenum name, GLint value) {
    Gl11Context* c = current_context();
    if (c != nullptr && target == GL_TEXTURE_ENV && name == GL_TEXTURE_ENV_MODE) {
        c->texture_env_mode = value;
    }
}

static void set_image(Gl11Context& c, std::uint32_t es_texture,
                      const std::shared_ptr<const RecordedImage>& image, bool from_list) {
    es_flush(c.renderer);
    TextureObject& texture = c.textures[c.bound_texture];
    texture.es_texture = es_texture;
    texture.width = image->width;
    texture.height = image->height;
    texture.image = image;
    texture.image_from_list = from_list;
}

void upload_texture_image(Gl11Context& c, const std::shared_ptr<const RecordedImage>& image) {
    set_image(c, c.textures[c.bound_texture].own_es_texture, image, false);
    es_texture_image(c.textures[c.bound_texture].es_texture, image->width, image->height,
                     image->rgb.data());
}

std::uint32_t image_texture(Gl11Context& c, const RecordedImage& image) {
    if (image.es_texture == 0) {
        image.es_texture = es_create_texture();
        c.image_textures.push_back(image.es_texture);
        es_texture_image(image.es_texture, image.width, image.height, image.rgb.data());
    }
    return image.es_texture;
}

void give_parameters(std::uint32_t es_texture, const TextureObject& texture) {
    es_texture_parameter(es_texture, GL_TEXTURE_MIN_FILTER, texture.min_filter);
    es_texture_parameter(es_texture, GL_TEXTURE_MAG_FILTER, texture.mag_filter);
    es_texture_parameter(es_texture, GL_TEXTURE_WRAP_S, texture.wrap_s);
    es_texture_parameter(es_texture, GL_TEXTURE_WRAP_T, texture.wrap_t);
}

// A list's upload shows the image's own ES 2 texture, made at its first replay,
// with the parameters of the object it is loaded into: the same picture as an
// upload, without sending its pixels again at every replay. (Objects showing
// one image share its texture's parameters: the program loads every list into
// one object.)
void replay_texture_image(Gl11Context& c, const std::shared_ptr<const RecordedImage>& image) {
    set_image(c, image_texture(c, *image), image, true);
    give_parameters(image->es_texture, c.textures[c.bound_texture]);
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
    upload_texture_image(*c, image);
}
