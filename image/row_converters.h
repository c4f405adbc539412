// Converters of one stored row of uncompressed pixels into RGB triples, one
// per pixel layout.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/pixel_format.h"

// Indices into the palette, packed most significant first below 8 bits.
void convert_row_1(const std::uint8_t* source, std::uint8_t* target, std::size_t width,
                   const PixelFormat& format);
void convert_row_4(const std::uint8_t* source, std::uint8_t* target, std::size_t width,
                   const PixelFormat& format);
void convert_row_8(const std::uint8_t* source, std::uint8_t* target, std::size_t width,
                   const PixelFormat& format);
// Blue, green, red.
void convert_row_24(const std::uint8_t* source, std::uint8_t* target, std::size_t width,
                    const PixelFormat& format);
// Little-endian pixels split by the format's channel fields.
void convert_row_16(const std::uint8_t* source, std::uint8_t* target, std::size_t width,
                    const PixelFormat& format);
void convert_row_32(const std::uint8_t* source, std::uint8_t* target, std::size_t width,
                    const PixelFormat& format);
// Blue, green, red, unused: 32-bit pixels with 8-bit channels in their usual places.
void convert_row_32_plain(const std::uint8_t* source, std::uint8_t* target, std::size_t width,
                          const PixelFormat& format);
