// Decoding of a bitmap file held in memory: the headers are checked against
// the bytes' length, and the pixels are converted in one pass straight into a
// packed, bottom-row-first RGB buffer.
#include "image/bitmap_decode.h"

#include <cstdlib>

#include "image/bitmap_conversion.h"
#include "image/bitmap_layout.h"
#include "image/huge_pages.h"
#include "image/pixel_format.h"
#include "image/run_length.h"

// Pictures larger than this are refused before any size is multiplied: no side
// above 32768 pixels and no more than 2^28 pixels (768 MiB of RGB) in all.
constexpr std::int64_t max_side = 32768;
constexpr std::int64_t max_pixels = std::int64_t{1} << 28;

ReadStatus convert_bitmap(const std::uint8_t* bytes, std::size_t size, RgbImage** result) {
    BitmapLayout layout;
    ReadStatus status = parse_headers(bytes, size, &layout);
    if (status != ReadStatus::ok) return status;
    if (layout.width <= 0 || layout.height == 0) return ReadStatus::conversion_error;
    if (layout.width > max_side || layout.height > max_side ||
        layout.width * layout.height > max_pixels) {
        return ReadStatus::out_of_memory;
    }
    PixelFormat format;
    status = prepare_format(layout, &format);
    if (status != ReadStatus::ok) return status;

    if (layout.pixel_offset > size) return ReadStatus::conversion_error;
    const std::uint8_t* data = bytes + layout.pixel_offset;
    const std::size_t available = size - static_cast<std::size_t>(layout.pixel_offset);
    const bool rows = format.encoding == Encoding::rows;
    if (rows && format.stride * static_cast<std::uint64_t>(layout.height) > available) {
        return ReadStatus::conversion_error;
    }

    const std::size_t buffer_size = static_cast<std::size_t>(layout.width * layout.height) * 3;
    // A run-length picture starts black; calloc gets that without a pass over the buffer.
    auto* pixels =
        static_cast<std::uint8_t*>(rows ? std::malloc(buffer_size) : std::calloc(buffer_size, 1));
    if (pixels == nullptr) return ReadStatus::out_of_memory;
    advise_huge_pages(pixels, buffer_size);
    if (rows) {
        convert_rows(data, layout, format, pixels);
    } else if (!decode_run_length(data, available, layout, format, pixels)) {
        std::free(pixels);
        return ReadStatus::conversion_error;
    }

    auto* image = static_cast<RgbImage*>(std::malloc(sizeof(RgbImage)));
    if (image == nullptr) {
        std::free(pixels);
        return ReadStatus::out_of_memory;
    }
    image->width = static_cast<std::int32_t>(layout.width);
    image->height = static_cast<std::int32_t>(layout.height);
    image->pixels = pixels;
    *result = image;
    return ReadStatus::ok;
}

RgbImage* decode_bitmap_image(const std::uint8_t* bytes, std::size_t size) {
    RgbImage* image = nullptr;
    const ReadStatus status = convert_bitmap(bytes, size, &image);
    if (status != ReadStatus::ok) report_read_failure(status);
    return image;
}
