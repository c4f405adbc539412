// Fuzz target of the bitmap reader: feeds arbitrary bytes through the
// in-memory decoder with the error boxes replaced by a silent counter, and
// checks that each input ends in either an image or exactly one box.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "image/bitmap_decode.h"
#include "platform/window_system.h"

// Written by the silent box hook, read and reset by the fuzz entry.
static int boxes_shown = 0;

static int count_box(WindowHandle, const char*, const char*, unsigned) {
    ++boxes_shown;
    return IDOK;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    set_message_box_hook(count_box);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    boxes_shown = 0;
    RgbImage* image = decode_bitmap_image(data, size);
    if (image == nullptr) {
        if (boxes_shown != 1) std::abort();
        return 0;
    }
    if (boxes_shown != 0 || image->width <= 0 || image->height <= 0) std::abort();
    // Touch both ends of the buffer so that a short allocation shows up.
    const std::size_t bytes = std::size_t(image->width) * std::size_t(image->height) * 3;
    volatile std::uint8_t sink = image->pixels[0] ^ image->pixels[bytes - 1];
    (void)sink;
    std::free(image->pixels);
    std::free(image);
    return 0;
}
