// The GLU calls this program makes, over the OpenGL 1.1 subset of <GL/gl.h>
// beside this header: quadric spheres and disks, the perspective and the pick
// matrix.
#pragma once

#include <GL/gl.h>

#define GLU_SMOOTH 100000
#define GLU_FLAT 100001
#define GLU_NONE 100002
#define GLU_OUTSIDE 100020
#define GLU_INSIDE 100021

struct GLUquadric;
typedef GLUquadric GLUquadricObj;

extern "C" {
GLUquadric* gl11_glu_new_quadric();
void gl11_glu_delete_quadric(GLUquadric* quadric);
void gl11_glu_quadric_normals(GLUquadric* quadric, GLenum normals);
void gl11_glu_quadric_orientation(GLUquadric* quadric, GLenum orientation);
void gl11_glu_quadric_texture(GLUquadric* quadric, GLboolean texture);
void gl11_glu_sphere(GLUquadric* quadric, GLdouble radius, GLint slices, GLint stacks);
void gl11_glu_disk(GLUquadric* quadric, GLdouble inner, GLdouble outer, GLint slices, GLint loops);
void gl11_glu_perspective(GLdouble fovy, GLdouble aspect, GLdouble near, GLdouble far);
void gl11_glu_pick_matrix(GLdouble x, GLdouble y, GLdouble width, GLdouble height,
                          const GLint* viewport);
}

#define gluNewQuadric gl11_glu_new_quadric
#define gluDeleteQuadric gl11_glu_delete_quadric
#define gluQuadricNormals gl11_glu_quadric_normals
#define gluQuadricOrientation gl11_glu_quadric_orientation
#define gluQuadricTexture gl11_glu_quadric_texture
#define gluSphere gl11_glu_sphere
#define gluDisk gl11_glu_disk
#define gluPerspective gl11_glu_perspective
#define gluPickMatrix gl11_glu_pick_matrix
