// Offscreen Mesa context for GL tests.
#include "support/offscreen_gl.h"

#include <GL/gl.h>
#include <GL/osmesa.h>

#include <cstddef>

OffscreenGl::OffscreenGl(int width, int height)
    : width_(width), height_(height), buffer_(static_cast<size_t>(width) * height * 4) {
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr);
    if (context == nullptr) return;
    context_ = context;
    make_current();
}

OffscreenGl::~OffscreenGl() {
    if (context_ == nullptr) return;
    // Mesa 22.3 crashes when it destroys a context that still holds queued
    // immediate-mode vertices: finish the context's work first.
    make_current();
    glFinish();
    OSMesaDestroyContext(static_cast<OSMesaContext>(context_));
}

void OffscreenGl::make_current() {
    OSMesaMakeCurrent(static_cast<OSMesaContext>(context_), buffer_.data(), GL_UNSIGNED_BYTE,
                      width_, height_);
}

const std::vector<std::uint8_t>& OffscreenGl::pixels() {
    glFinish();
    return buffer_;
}
