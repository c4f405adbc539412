// The row converters of uncompressed pixels. The 24-bit one swaps blue and
// red 16 bytes at a time where the processor has SSSE3.
#include "image/row_converters.h"

#include <cstring>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define ORRERY_BITMAP_SSSE3 1
#endif

void convert_row_1(const std::uint8_t* source, std::uint8_t* target, std::size_t width,
                   const PixelFormat& format) {
    for (std::size_t x = 0; x < width; ++x) {
        put_index(target + 3 * x, format, (source[x >> 3] >> (7 - (x & 7))) & 1);
    }
}

void convert_row_4(const std::uint8_t* source, std::uint8_t* target, std::size_t width,
                   const PixelFormat& format) {
    for (std::size_t x = 0; x < width; ++x) {
        const std::uint8_t pair = source[x >> 1];
        put_index(target + 3 * x, format, (x & 1) != 0 ? pair & 0x0F : pair >> 4);
    }
}

// Each pixel but the row's last is stored as 4 bytes; the spare byte lands on
// the next pixel, which overwrites it.
void convert_row_8(const std::uint8_t* source, std::uint8_t* target, std::size_t width,
                   const PixelFormat& format) {
    const std::size_t last = width - 1;
    for (std::size_t x = 0; x < last; ++x)
        std::memcpy(target + 3 * x, format.palette[source[x]], 4);
    put_index(target + 3 * last, format, source[last]);
}

#ifdef ORRERY_BITMAP_SSSE3
// Swaps blue and red of 5 pixels per 16-byte load and store; the 16th byte
// stored is the next pixel's first, written again by the next step. Stops
// while a whole 16-byte store still fits in the row; returns the pixels done.
__attribute__((target("ssse3"))) static std::size_t swap_rows_24_ssse3(const std::uint8_t* source,
                                                                       std::uint8_t* target,
                                                                       std::size_t width) {
    const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
    std::size_t x = 0;
    for (; x + 6 <= width; x += 5) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 3 * x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + 3 * x),
                         _mm_shuffle_epi8(pixels, order));
    }
    return x;
}

static bool have_ssse3() {
    static const bool available = __builtin_cpu_supports("ssse3");
    return available;
}
#endif

void convert_row_24(const std::uint8_t* source, std::uint8_t* target, std::size_t width,
                    const PixelFormat&) {
    std::size_t x = 0;
#ifdef ORRERY_BITMAP_SSSE3
    if (have_ssse3()) x = swap_rows_24_ssse3(source, target, width);
#endif
    for (; x < width; ++x) {
        target[3 * x] = source[3 * x + 2];
        target[3 * x + 1] = source[3 * x + 1];
        target[3 * x + 2] = source[3 * x];
    }
}

void convert_row_16(const std::uint8_t* source, std::uint8_t* target, std::size_t width,
                    const PixelFormat& format) {
    for (std::size_t x = 0; x < width; ++x) {
        const std::uint32_t pixel = read_u16(source + 2 * x);
        for (int channel = 0; channel < 3; ++channel) {
            target[3 * x + channel] = channel_value(format.channels[channel], pixel);
        }
    }
}

void convert_row_32(const std::uint8_t* source, std::uint8_t* target, std::size_t width,
                    const PixelFormat& format) {
    for (std::size_t x = 0; x < width; ++x) {
        const std::uint32_t pixel = read_u32(source + 4 * x);
        for (int channel = 0; channel < 3; ++channel) {
            target[3 * x + channel] = channel_value(format.channels[channel], pixel);
        }
    }
}

void convert_row_32_plain(const std::uint8_t* source, std::uint8_t* target, std::size_t width,
                          const PixelFormat&) {
    for (std::size_t x = 0; x < width; ++x) {
        target[3 * x] = source[4 * x + 2];
        target[3 * x + 1] = source[4 * x + 1];
        target[3 * x + 2] = source[4 * x];
    }
}
