// The fixed render state of a rendering context and its projection.
#include "render/render_state.h"

#include <GL/gl.h>

#include "render/textures.h"

// ---------------------------------------------------------------------------
// Written by resize_view (aspect_ratio) and init_render_state (quadric; the
// close of the main window deletes and clears it). Read by the pick
// (aspect_ratio) and the scene drawing (quadric).
float aspect_ratio = 0.0f;
GLUquadric* quadric = nullptr;

void resize_view(int width, int height) {
    if (height == 0) height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // The stored ratio is rounded to float; the projection gets the double
    // quotient, computed afresh.
    aspect_ratio = static_cast<float>(static_cast<double>(width) / height);
    gluPerspective(field_of_view, static_cast<double>(width) / height,
                   static_cast<double>(near_plane), far_plane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

bool init_render_state() {
    quadric = gluNewQuadric();
    if (quadric == nullptr) return false;
    load_texture_set();
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    // The scene scales the modelview by the view scale; normals are rescaled
    // to unit length after it.
    glEnable(GL_NORMALIZE);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_COLOR_MATERIAL);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    gluQuadricNormals(quadric, GLU_SMOOTH);
    gluQuadricOrientation(quadric, GLU_OUTSIDE);
    gluQuadricTexture(quadric, GL_FALSE);
    // Lighting keeps OpenGL's initial parameters: light 0 is a white
    // directional light along -z of eye space; light 1 is black.
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    glEnable(GL_COLOR_MATERIAL);
    build_texture_lists();
    glEnable(GL_TEXTURE_2D);
    return true;
}
