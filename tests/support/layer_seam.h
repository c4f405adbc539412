// The tests' seam in front of the window-system layer. The test programs are linked with
// `--wrap` for the layer functions that cmake/layer_seam.cmake names, so that the application's
// calls of them come here first: a step the test names fails once, returning what the real call
// returns when it fails; otherwise the real call runs and what it acquired or released is counted.
#pragma once

#include <string>

#include "platform/window_system.h"

namespace seam {
void fail_once(const std::string& step);  // the wrapped step's next call fails; cleared by reset()

// Classes, display modes, windows, DCs and contexts held now (each acquisition adds one, each
// release takes one away), and the swap requests, whether or not there was a window.
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
