// Display lists for the selection pass of a pick, one per shape of the scene,
// recorded in the current rendering context the first time a pick needs them.
#pragma once

#include <functional>

#include "scene/bodies.h"

// Where each shape's list lies among the selection lists.
namespace selection_shape {
constexpr int uv_sphere(int body) { return body; }                          // sphere mode 1
constexpr int quadric_sphere(int body) { return catalogue::count + body; }  // sphere mode 2
constexpr int orbit_disk(int body) { return 2 * catalogue::count + body; }
constexpr int moon_orbit_disk = 3 * catalogue::count;
constexpr int saturn_ring = moon_orbit_disk + 1;
constexpr int count = saturn_ring + 1;
}  // namespace selection_shape

// Calls the list of `shape` in the current context. The first call in a
// context records it from `draw`, compiled and not executed, and then calls
// it; later calls reuse it.
void call_selection_list(int shape, const std::function<void()>& draw);
// Forgets every list: their rendering context is gone. No OpenGL call.
void forget_selection_lists();
