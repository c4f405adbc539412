// Oracle context: Mesa's OpenGL 1.1 on an offscreen OSMesa buffer.
#include <GL/gl.h>
#include <GL/osmesa.h>

#include "oracle_context.h"

static OSMesaContext context = nullptr;
static std::vector<unsigned char> buffer(800 * 600 * 4);
bool open_context() {
    context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    return context != nullptr &&
           OSMesaMakeCurrent(context, buffer.data(), GL_UNSIGNED_BYTE, 800, 600) != 0;
}
// Mesa 22.3 crashes when it destroys a context that still holds queued immediate-mode vertices:
// its work is finished first.
void close_context() { glFinish(), OSMesaDestroyContext(context); }
std::vector<unsigned char> read_frame() {
    std::vector<unsigned char> rgb(800 * 600 * 3);
    glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}
std::string context_version() { return reinterpret_cast<const char*>(glGetString(GL_VERSION)); }
long uploads() { return 0; }
