// A real offscreen Mesa (OSMesa) rendering context of 800 x 600 for GL tests: RGBA colour, a
// 16-bit depth buffer, current from construction until destruction.
#pragma once

#include <GL/gl.h>
#include <GL/osmesa.h>

#include <vector>

class OffscreenGl {
   public:
    OffscreenGl() { OSMesaMakeCurrent(context_, pixels_.data(), GL_UNSIGNED_BYTE, 800, 600); }
    // Mesa 22.3 crashes when it destroys a context that still holds queued immediate-mode
    // vertices: finish the context's work first.
    ~OffscreenGl() { glFinish(), OSMesaDestroyContext(context_); }

   private:
    OSMesaContext context_ = OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr);
    std::vector<unsigned char> pixels_ = std::vector<unsigned char>(800 * 600 * 4);
};
