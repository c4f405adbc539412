// The OpenGL 1.1 calls this program makes, for targets that offer only OpenGL
// ES 2 (WebGL 1 in the browser). The application includes <GL/gl.h> as on the
// desktop; in such a build this header comes first on the include path, and
// each call below reaches the subset in platform/gl11/, which keeps the
// fixed-function state itself and draws through ES 2.
//
// Types and numbers are OpenGL's own, so that an application compiled against
// this header means exactly what it means against the system's.
#pragma once

typedef unsigned int GLenum;
typedef unsigned char GLboolean;
typedef unsigned int GLbitfield;
typedef void GLvoid;
typedef signed char GLbyte;
typedef short GLshort;
typedef int GLint;
typedef int GLsizei;
typedef unsigned char GLubyte;
typedef unsigned short GLushort;
typedef unsigned int GLuint;
typedef float GLfloat;
typedef float GLclampf;
typedef double GLdouble;
typedef double GLclampd;

#define GL_FALSE 0
#define GL_TRUE 1

// Primitives.
#define GL_POINTS 0x0000
#define GL_LINES 0x0001
#define GL_LINE_LOOP 0x0002
#define GL_LINE_STRIP 0x0003
#define GL_TRIANGLES 0x0004
#define GL_TRIANGLE_STRIP 0x0005
#define GL_TRIANGLE_FAN 0x0006
#define GL_QUADS 0x0007
#define GL_QUAD_STRIP 0x0008
#define GL_POLYGON 0x0009

// Buffers, depth and faces.
#define GL_DEPTH_BUFFER_BIT 0x00000100
#define GL_COLOR_BUFFER_BIT 0x00004000
#define GL_LEQUAL 0x0203
#define GL_LESS 0x0201
#define GL_FRONT 0x0404
#define GL_BACK 0x0405
#define GL_FRONT_AND_BACK 0x0408

// Capabilities.
#define GL_LIGHTING 0x0B50
#define GL_COLOR_MATERIAL 0x0B57
#define GL_DEPTH_TEST 0x0B71
#define GL_NORMALIZE 0x0BA1
#define GL_TEXTURE_2D 0x0DE1
#define GL_LIGHT0 0x4000
#define GL_LIGHT1 0x4001

// Polygon modes, shading, hints.
#define GL_POINT 0x1B00
#define GL_LINE 0x1B01
#define GL_FILL 0x1B02
#define GL_FLAT 0x1D00
#define GL_SMOOTH 0x1D01
#define GL_PERSPECTIVE_CORRECTION_HINT 0x0C50
#define GL_DONT_CARE 0x1100
#define GL_FASTEST 0x1101
#define GL_NICEST 0x1102

// Materials.
#define GL_AMBIENT 0x1200
#define GL_DIFFUSE 0x1201
#define GL_SPECULAR 0x1202
#define GL_EMISSION 0x1600
#define GL_AMBIENT_AND_DIFFUSE 0x1602

// Matrices.
#define GL_MATRIX_MODE 0x0BA0
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#define GL_MODELVIEW_MATRIX 0x0BA6
#define GL_PROJECTION_MATRIX 0x0BA7

// Queries and pixel storage.
#define GL_VIEWPORT 0x0BA2
#define GL_UNPACK_ALIGNMENT 0x0CF5
#define GL_MAX_TEXTURE_SIZE 0x0D33

// Textures.
#define GL_UNSIGNED_BYTE 0x1401
#define GL_RGB 0x1907
#define GL_RGBA 0x1908
#define GL_TEXTURE_ENV 0x2300
#define GL_TEXTURE_ENV_MODE 0x2200
#define GL_MODULATE 0x2100
#define GL_NEAREST 0x2600
#define GL_LINEAR 0x2601
#define GL_TEXTURE_MAG_FILTER 0x2800
#define GL_TEXTURE_MIN_FILTER 0x2801
#define GL_TEXTURE_WRAP_S 0x2802
#define GL_TEXTURE_WRAP_T 0x2803
#define GL_CLAMP 0x2900
#define GL_REPEAT 0x2901

// Display lists and render modes.
#define GL_COMPILE 0x1300
#define GL_COMPILE_AND_EXECUTE 0x1301
#define GL_RENDER 0x1C00
#define GL_FEEDBACK 0x1C01
#define GL_SELECT 0x1C02

extern "C" {
// Immediate mode.
void gl11_begin(GLenum mode);
void gl11_end();
void gl11_vertex3f(GLfloat x, GLfloat y, GLfloat z);
void gl11_normal3f(GLfloat x, GLfloat y, GLfloat z);
void gl11_tex_coord2f(GLfloat s, GLfloat t);
void gl11_color3f(GLfloat red, GLfloat green, GLfloat blue);
void gl11_color3ub(GLubyte red, GLubyte green, GLubyte blue);

// Matrices.
void gl11_matrix_mode(GLenum mode);
void gl11_load_identity();
void gl11_push_matrix();
void gl11_pop_matrix();
void gl11_mult_matrixd(const GLdouble* matrix);
void gl11_rotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void gl11_translatef(GLfloat x, GLfloat y, GLfloat z);
void gl11_scalef(GLfloat x, GLfloat y, GLfloat z);
void gl11_viewport(GLint x, GLint y, GLsizei width, GLsizei height);

// Fixed render state and queries.
void gl11_enable(GLenum capability);
void gl11_disable(GLenum capability);
void gl11_polygon_mode(GLenum face, GLenum mode);
void gl11_shade_model(GLenum mode);
void gl11_color_material(GLenum face, GLenum mode);
void gl11_hint(GLenum target, GLenum mode);
void gl11_depth_func(GLenum function);
void gl11_clear_color(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha);
void gl11_clear_depth(GLclampd depth);
void gl11_clear(GLbitfield mask);
void gl11_get_integerv(GLenum name, GLint* values);
void gl11_get_doublev(GLenum name, GLdouble* values);
void gl11_pixel_storei(GLenum name, GLint value);

// Textures.
void gl11_gen_textures(GLsizei count, GLuint* names);
void gl11_bind_texture(GLenum target, GLuint name);
void gl11_tex_parameteri(GLenum target, GLenum name, GLint value);
void gl11_tex_envi(GLenum target, GLenum name, GLint value);
void gl11_tex_image2d(GLenum target, GLint level, GLint internal_format, GLsizei width,
                      GLsizei height, GLint border, GLenum format, GLenum type,
                      const GLvoid* pixels);

// Display lists.
GLuint gl11_gen_lists(GLsizei range);
void gl11_new_list(GLuint list, GLenum mode);
void gl11_end_list();
void gl11_call_list(GLuint list);

// Selection.
void gl11_select_buffer(GLsizei size, GLuint* buffer);
GLint gl11_render_mode(GLenum mode);
void gl11_init_names();
void gl11_push_name(GLuint name);
void gl11_pop_name();
}

#define glBegin gl11_begin
#define glEnd gl11_end
#define glVertex3f gl11_vertex3f
#define glNormal3f gl11_normal3f
#define glTexCoord2f gl11_tex_coord2f
#define glColor3f gl11_color3f
#define glColor3ub gl11_color3ub
#define glMatrixMode gl11_matrix_mode
#define glLoadIdentity gl11_load_identity
#define glPushMatrix gl11_push_matrix
#define glPopMatrix gl11_pop_matrix
#define glMultMatrixd gl11_mult_matrixd
#define glRotatef gl11_rotatef
#define glTranslatef gl11_translatef
#define glScalef gl11_scalef
#define glViewport gl11_viewport
#define glEnable gl11_enable
#define glDisable gl11_disable
#define glPolygonMode gl11_polygon_mode
#define glShadeModel gl11_shade_model
#define glColorMaterial gl11_color_material
#define glHint gl11_hint
#define glDepthFunc gl11_depth_func
#define glClearColor gl11_clear_color
#define glClearDepth gl11_clear_depth
#define glClear gl11_clear
#define glGetIntegerv gl11_get_integerv
#define glGetDoublev gl11_get_doublev
#define glPixelStorei gl11_pixel_storei
#define glGenTextures gl11_gen_textures
#define glBindTexture gl11_bind_texture
#define glTexParameteri gl11_tex_parameteri
#define glTexEnvi gl11_tex_envi
#define glTexImage2D gl11_tex_image2d
#define glGenLists gl11_gen_lists
#define glNewList gl11_new_list
#define glEndList gl11_end_list
#define glCallList gl11_call_list
#define glSelectBuffer gl11_select_buffer
#define glRenderMode gl11_render_mode
#define glInitNames gl11_init_names
#define glPushName gl11_push_name
#define glPopName gl11_pop_name
