// What a window frozen by a modal box drops, in every backend: presses,
// moves, the wheel, typing and the close request. Releases pass, so that no
// key or button is left held once the box has closed.
#pragma once

#include <cstdint>

bool dropped_while_box_open(std::uint32_t message);
