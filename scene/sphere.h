// The system's own textured sphere: latitude bands of triangle strips with unit
// normals and texture coordinates.
#pragma once

void draw_uv_sphere(float cx, float cy, float cz, float radius, int count);
