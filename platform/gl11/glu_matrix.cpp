// GLU's perspective and pick matrices, multiplied onto the current matrix.
#include <GL/glu.h>

#include <cmath>

#include "platform/gl11/matrix.h"

// A frustum of `fovy` degrees vertically, `aspect` times as wide, from the
// near to the far plane. A degenerate one changes nothing.
void gl11_glu_perspective(GLdouble fovy, GLdouble aspect, GLdouble near, GLdouble far) {
    const double half = fovy / 2.0 * pi / 180.0;
    const double depth = far - near, sine = std::sin(half);
    if (depth == 0.0 || sine == 0.0 || aspect == 0.0) return;
    const double f = std::cos(half) / sine;
    const GLdouble m[16] = {f / aspect,
                            0,
                            0,
                            0,
                            0,
                            f,
                            0,
                            0,
                            0,
                            0,
                            -(far + near) / depth,
                            -1,
                            0,
                            0,
                            -2.0 * near * far / depth,
                            0};
    gl11_mult_matrixd(m);
}

// Narrows the view volume to the width x height region centred on (x, y) in
// window coordinates: that region then fills the viewport.
void gl11_glu_pick_matrix(GLdouble x, GLdouble y, GLdouble width, GLdouble height,
                          const GLint* viewport) {
    if (width <= 0.0 || height <= 0.0 || viewport == nullptr) return;
    const double sx = viewport[2] / width, sy = viewport[3] / height;
    const double tx = (viewport[2] - 2.0 * (x - viewport[0])) / width;
    const double ty = (viewport[3] - 2.0 * (y - viewport[1])) / height;
    const GLdouble m[16] = {sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, 1, 0, tx, ty, 0, 1};
    gl11_mult_matrixd(m);
}
