// A real offscreen Mesa (OSMesa) rendering context for GL tests: RGBA colour, a 16-bit depth
// buffer, made current on construction, destroyed with the object.
#pragma once

#include <GL/gl.h>
#include <GL/osmesa.h>

#include <vector>

class OffscreenGl {
   public:
    explicit OffscreenGl(int width = 800, int height = 600)
        : width_(width), height_(height), buffer_(std::size_t(width) * height * 4) {
        context_ = OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr);
        OSMesaMakeCurrent(context_, buffer_.data(), GL_UNSIGNED_BYTE, width_, height_);
    }
    ~OffscreenGl() {
        // Mesa 22.3 crashes when it destroys a context that still holds queued immediate-mode
        // vertices: finish the context's work first.
        glFinish();
        OSMesaDestroyContext(context_);
    }
    OffscreenGl(const OffscreenGl&) = delete;
    OffscreenGl& operator=(const OffscreenGl&) = delete;
    int width() const { return width_; }
    int height() const { return height_; }

   private:
    OSMesaContext context_;
    int width_, height_;
    std::vector<unsigned char> buffer_;
};
