// Oracle context: the subset over Mesa's OpenGL ES 2, on an 800 x 600 pbuffer
// of EGL's surfaceless platform (no display needed).
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GLES2/gl2.h>

#include "oracle_context.h"
#include "platform/gl11/gl11_context.h"

static EGLDisplay display = EGL_NO_DISPLAY;
static EGLSurface surface = EGL_NO_SURFACE;
static EGLContext es_context = EGL_NO_CONTEXT;
static Gl11Context* subset = nullptr;
bool open_context() {
    display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (!eglInitialize(display, nullptr, nullptr)) return false;  // again: nothing
    // clang-format off
    const EGLint wish[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE,
        EGL_OPENGL_ES2_BIT, EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8,
        EGL_DEPTH_SIZE, 24, EGL_NONE};
    // clang-format on
    const EGLint size[] = {EGL_WIDTH, 800, EGL_HEIGHT, 600, EGL_NONE};
    const EGLint version[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    EGLConfig config;
    EGLint configs = 0;
    if (!eglChooseConfig(display, wish, &config, 1, &configs) || configs < 1) return false;
    surface = eglCreatePbufferSurface(display, config, size);
    eglBindAPI(EGL_OPENGL_ES_API);
    es_context = eglCreateContext(display, config, EGL_NO_CONTEXT, version);
    if (!eglMakeCurrent(display, surface, surface, es_context)) return false;
    gl11_make_current(subset = gl11_create_context());
    return subset != nullptr;
}
void close_context() {
    gl11_delete_context(subset);
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display, es_context);
    eglDestroySurface(display, surface);
}
std::vector<unsigned char> read_frame() {
    gl11_flush();
    std::vector<unsigned char> rgba(800 * 600 * 4), rgb(800 * 600 * 3);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    for (int i = 0; i < 800 * 600 * 3; ++i) rgb[i] = rgba[i / 3 * 4 + i % 3];
    return rgb;
}
std::string context_version() { return reinterpret_cast<const char*>(glGetString(GL_VERSION)); }
// Every upload the subset makes to ES 2 (the only two calls that upload), counted on its way (the
// program is linked with --wrap for both).
static long upload_count = 0;
long uploads() { return upload_count; }
extern "C" {
void __real_glBufferData(GLenum, GLsizeiptr, const void*, GLenum);
void __real_glTexImage2D(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum,
                         const void*);
void __wrap_glBufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage) {
    ++upload_count, __real_glBufferData(target, size, data, usage);
}
void __wrap_glTexImage2D(GLenum target, GLint level, GLint internal, GLsizei width, GLsizei height,
                         GLint border, GLenum format, GLenum type, const void* pixels) {
    ++upload_count,
        __real_glTexImage2D(target, level, internal, width, height, border, format, type, pixels);
}
}
