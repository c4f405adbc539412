// Texture objects on OpenGL ES 2.
#include <GLES2/gl2.h>

#include <vector>

#include "platform/gl11/es_renderer.h"

std::uint32_t es_create_texture() {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    return texture;
}

void es_delete_texture(std::uint32_t texture) {
    const GLuint name = texture;
    glDeleteTextures(1, &name);
}

// OpenGL 1.1's GL_CLAMP has no ES 2 counterpart; the closest is clamping to the
// edge texels.
static constexpr int gl_clamp = 0x2900;

void es_texture_parameter(std::uint32_t texture, std::uint32_t name, int value) {
    if (value == gl_clamp) value = GL_CLAMP_TO_EDGE;
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, name, value);
}

static bool power_of_two(int n) { return n > 0 && (n & (n - 1)) == 0; }
static int next_power_of_two(int n) {
    int p = 1;
    while (p < n) p *= 2;
    return p;
}

void es_texture_image(std::uint32_t texture, int width, int height, const unsigned char* rgb) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (power_of_two(width) && power_of_two(height)) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
        return;
    }
    // WebGL 1 samples a texture whose sides are not powers of two as black when it
    // repeats, as the program's textures do: such a picture is stretched to the
    // next powers of two, each texel taken from the nearest pixel.
    const int w = next_power_of_two(width), h = next_power_of_two(height);
    std::vector<unsigned char> stretched(static_cast<std::size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        const int source_y = static_cast<int>((y + 0.5) * height / h);
        for (int x = 0; x < w; ++x) {
            const int source_x = static_cast<int>((x + 0.5) * width / w);
            const unsigned char* from =
                rgb + (static_cast<std::size_t>(source_y) * width + source_x) * 3;
            unsigned char* to = &stretched[(static_cast<std::size_t>(y) * w + x) * 3];
            to[0] = from[0], to[1] = from[1], to[2] = from[2];
        }
    }
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, w, h, 0, GL_RGB, GL_UNSIGNED_BYTE, stretched.data());
}

int es_max_texture_size() {
    GLint size = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    return size;
}
