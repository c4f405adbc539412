// Fuzz target of the bitmap reader: any bytes end in either an image or exactly one box.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "image/bitmap_decode.h"
#include "support/layer_seam.h"

// Written by the silent box, read and reset by the fuzz entry.
static int boxes_shown = 0;

static int count_box(WindowHandle, const char*, const char*, unsigned) {
    ++boxes_shown;
    return IDOK;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    seam::replace_boxes(count_box);
    boxes_shown = 0;
    RgbImage* image = decode_bitmap_image(data, size);
    if (boxes_shown != (image == nullptr)) std::abort();
    if (image == nullptr) return 0;
    if (image->width <= 0 || image->height <= 0) std::abort();
    std::free(image->pixels);
    std::free(image);
    return 0;
}
