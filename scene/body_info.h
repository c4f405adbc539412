// The facts shown for a picked body: its Korean name and six lines of facts.
#pragma once

#include "scene/catalogue.h"

// One row of the information table. Both strings are UTF-8.
struct BodyInfo {
    BodyId id;
    const char* caption;  // the body's Korean name
    const char* text;     // radius, mass, density, gravity, rotation, revolution
};

// The row of a selection name; null for a name that carries no facts (outside
// 101 to 110).
const BodyInfo* find_body_info(BodyId id);
