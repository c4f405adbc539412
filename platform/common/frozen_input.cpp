#include "platform/common/frozen_input.h"

#include "platform/window_system.h"

bool dropped_while_box_open(std::uint32_t message) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_CHAR:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MOUSEWHEEL:
        case WM_CLOSE:
            return true;
        default:
            return false;
    }
}
