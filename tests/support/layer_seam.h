// The seam in front of the layer functions cmake/layer_seam.cmake wraps (`--wrap`): a named step
// fails once as the real one fails; otherwise the real call runs and what it holds is counted.
#pragma once

#include <string>

#include "platform/window_system.h"
namespace seam {
void fail_once(const std::string& step);  // the wrapped step's next call fails; cleared by reset()
// Classes, display modes, windows, DCs and contexts held now, and the swaps asked for.
struct Held {
    int things, swaps;
};
Held held();
void reset();  // no steps to fail, all counts 0
// Every box goes to `box` instead; null brings the real boxes back.
using BoxFunction = int (*)(WindowHandle owner, const char* text, const char* caption,
                            unsigned flags);
void replace_boxes(BoxFunction box);
}  // namespace seam
